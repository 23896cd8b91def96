// Modal message boxes owned by the main window.
#include <SDL.h>

#include "platform/sdl/sdl_backend.h"

void SdlMessageBox(const char* caption, const char* text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, SdlWindow());
}

void SdlAboutBox(const char* caption, const char* text) {
    const SDL_MessageBoxButtonData ok = {
        SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.window = SdlWindow();
    box.title = caption;
    box.message = text;
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = 0;
    SDL_ShowMessageBox(&box, &pressed);
}
