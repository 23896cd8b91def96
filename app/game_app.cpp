// The application shell: the one window, its start-up and shutdown, painting, the timer and the
// hand-over of keys to the game.
#include "app/game_app.h"

#include <cstdlib>
#include <ctime>

#include "app/picture.h"
#include "audio/banks.h"
#include "audio/music.h"
#include "audio/sound.h"
#include "game/dispatch.h"
#include "game/intro.h"
#include "game/menu.h"
#include "game/state.h"
#include "input/controller.h"
#include "input/keyboard.h"
#include "storage/player_files.h"
#include "storage/settings.h"
#include "tapdash_version.h"

int g_startupOk = 0;
int g_introStarted = 0;
std::string (*g_findProgramDir)() = PlatformProgramDir;
CGameApp theApp;

namespace {

const char kErrorCaption[] = "Error!";

CGameDlg* s_dialog = nullptr;

bool FindProgramDir() {
    std::string dir = g_findProgramDir();
    if (dir.empty()) return false;
    g_programDir = dir;
    return true;
}

// Opens the sound device, the timer and the controller and loads the two banks that live for
// the whole run, in that order; the first failure ends the step.
bool StartDevices() {
    if (!CreateSoundDevice()) {
        PlatformReportError("DSound not created");
        PlatformMessageBox(kErrorCaption, "DSound not created");
        return false;
    }
    if (!PlatformSetTimer(kGameTimerId, kTickIntervalMs)) return false;
    g_controllerLive = InitController() < 0 ? 0 : 1;
    srand(static_cast<unsigned>(time(nullptr)));
    if (!LoadMenuSounds()) return false;
    if (!LoadScoreSounds()) return false;
    LoadIntro();
    g_mode = MODE_INTRO;
    g_tickEnabled = 1;
    return true;
}

}  // namespace

bool CGameApp::InitInstance() {
    CGameDlg dialog;
    dialog.DoModal();
    return false;
}

void CGameDlg::DoModal() {
    s_dialog = this;
    PlatformRunWindow("Tapdash", kWindowWidth, kWindowHeight, CGameDlg::WindowProc);
}

void CGameDlg::WindowProc(const PlatformMessage& msg) {
    CGameDlg* dialog = s_dialog;
    if (!dialog) return;
    switch (msg.type) {
        case kMsgInitDialog:
            dialog->OnInitDialog();
            break;
        case kMsgKeyDown:
        case kMsgKeyUp:
            dialog->PreTranslateMessage(msg);
            break;
        case kMsgPaint:
            dialog->OnPaint();
            break;
        case kMsgTimer:
            dialog->OnTimer(msg.wParam);
            break;
        case kMsgSysCommand:
            dialog->OnSysCommand(msg.wParam);
            break;
        case kMsgActivate:
            dialog->OnActivate(msg.wParam);
            break;
        case kMsgClose:
            dialog->OnClose();
            break;
        case kMsgDestroy:
            dialog->OnDestroy();
            break;
        default:
            break;
    }
}

bool CGameDlg::PreTranslateMessage(const PlatformMessage& msg) {
    if (msg.type == kMsgKeyDown) {
        HandleKeyDown(msg.wParam);
        return true;
    }
    if (msg.type == kMsgKeyUp) {
        HandleKeyUp(msg.wParam);
        return true;
    }
    return false;
}

bool CGameDlg::OnInitDialog() {
    PlatformImage big = LoadIconImage(32);
    PlatformImage small = LoadIconImage(16);
    if (big.pixels && small.pixels) PlatformSetWindowIcon(big, small);
    DeleteImage(big);
    DeleteImage(small);

    g_startupOk = 1;
    if (!FindProgramDir()) {
        g_startupOk = 0;
        PlatformPostClose();
        return true;
    }
    // A program folder the player cannot write (a system install) leaves the player's files to
    // a folder of their own; the game plays either way.
    ChoosePlayerDir();
    // The music level the player chose last time; never a reason not to start.
    g_musicLevel = ReadMusicSetting();
    PlatformClearLastError();
    if (!StartDevices()) {
        PlatformReportError("Error in second initialisation");
        PlatformMessageBox(kErrorCaption, "Error in second initialisation");
    }
    return true;
}

void CGameDlg::OnPaint() {
    PlatformImage picture = LoadBackgroundBitmap();
    if (picture.pixels) PlatformPaintImage(picture);
    // The intro waits for the first paint, so that the window is on the screen when it sounds.
    if (g_startupOk == 1 && !g_introStarted) {
        g_introStarted = 1;
        StartIntro();
    }
    DeleteImage(picture);
}

void CGameDlg::OnTimer(int id) {
    if (g_controllerLive && PollController() < 0) {
        g_controllerLive = 0;
        ShutdownController();
    }
    if (!g_tickEnabled) return;
    if (id == kGameTimerId) TickDispatch();
}

void CGameDlg::OnSysCommand(int command) {
    if ((command & ~0xF) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    }
}

void CGameDlg::OnActivate(int active) {
    if (active) AcquireController();
    HandleKeyboardFocus(active);
}

void CGameDlg::OnClose() {
    PlatformDestroyWindow();
}

void CGameDlg::OnDestroy() {
    ReleaseMenuSounds();
    ReleaseScoreSounds();
    PlatformKillTimer(kGameTimerId);
    ShutdownController();
    ReleaseSoundDevice();
}

void CAboutDlg::DoModal() {
    static const char kTitleLine[] = "Tapdash  Version " TAPDASH_VERSION_SHORT;
    static const char* const kLines[] = {
        kTitleLine,
        "A keyboard game played by ear.",
        "Free game. Everything you need is heard.",
    };
    PlatformAboutBox("About Tapdash", kLines, 3);
}
