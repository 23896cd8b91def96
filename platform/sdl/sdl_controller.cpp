// The game controller over SDL's joystick support: the first attached joystick is opened and
// read on every poll; what it reports is discarded.
#include <SDL.h>

#include "platform/sdl/sdl_backend.h"

namespace {

bool s_subsystemUp = false;
SDL_Joystick* s_joystick = nullptr;

}  // namespace

int SdlControllerOpen() {
    if (s_joystick) return 0;
    if (!s_subsystemUp) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return -1;
        s_subsystemUp = true;
        // The joystick is read by polling only. With its events switched off, SDL's event wait
        // keeps sleeping instead of waking every millisecond to look at the joystick.
        SDL_JoystickEventState(SDL_IGNORE);
    }
    SDL_JoystickUpdate();
    int count = SDL_NumJoysticks();
    for (int index = 0; index < count && !s_joystick; ++index) {
        s_joystick = SDL_JoystickOpen(index);
    }
    return s_joystick ? 0 : -1;
}

int SdlControllerPoll() {
    if (!s_joystick) return 0;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(s_joystick)) return -1;
    int axes = SDL_JoystickNumAxes(s_joystick);
    int buttons = SDL_JoystickNumButtons(s_joystick);
    int hats = SDL_JoystickNumHats(s_joystick);
    if (axes < 0 || buttons < 0 || hats < 0) return -1;
    for (int i = 0; i < axes; ++i) SDL_JoystickGetAxis(s_joystick, i);
    for (int i = 0; i < buttons; ++i) SDL_JoystickGetButton(s_joystick, i);
    for (int i = 0; i < hats; ++i) SDL_JoystickGetHat(s_joystick, i);
    return 0;
}

void SdlControllerClose() {
    if (s_joystick) SDL_JoystickClose(s_joystick);
    s_joystick = nullptr;
    if (s_subsystemUp) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    s_subsystemUp = false;
}
