#include "app/game_app.h"

int main() {
    PlatformSelectReal();
    theApp.InitInstance();
    return 0;
}
