#include "app/game_app.h"

int main() {
    PlatformSelect(kPlatformReal);
    theApp.InitInstance();
    return 0;
}
