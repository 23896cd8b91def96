// Placeholder until this module is written.
#include "app/game_app.h"

std::string g_programDir;
int g_startupOk = 0;
int g_introStarted = 0;
CGameApp theApp;

bool CGameApp::InitInstance() { return false; }
