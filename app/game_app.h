// The application shell: the main window, its start-up and shutdown.
#pragma once

#include <string>

#include "app/picture.h"
#include "platform/platform.h"

constexpr int kGameTimerId = 1;
constexpr int kTickIntervalMs = 50;
constexpr int IDM_ABOUTBOX = kSysCommandAbout;
// The window is the picture's size.
constexpr int kWindowWidth = kPictureWidth;
constexpr int kWindowHeight = kPictureHeight;

extern int g_startupOk;
extern int g_introStarted;

// Where start-up finds the program folder: the platform's answer, unless a test points it at a
// folder of its own.
extern std::string (*g_findProgramDir)();

class CGameDlg {
  public:
    // Creates the window and runs it until it closes.
    void DoModal();
    static void WindowProc(const PlatformMessage& msg);

    bool PreTranslateMessage(const PlatformMessage& msg);
    bool OnInitDialog();
    void OnPaint();
    void OnTimer(int id);
    void OnSysCommand(int command);
    void OnActivate(int active);
    void OnClose();
    void OnDestroy();
};

class CAboutDlg {
  public:
    void DoModal();
};

class CGameApp {
  public:
    // Runs the main window; returns when it has closed.
    bool InitInstance();
};

extern CGameApp theApp;
