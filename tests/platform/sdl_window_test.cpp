// The window on SDL's display-less driver: what reaches the game, in what order, what the
// picture looks like on screen, and that closing ends the loop.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/key_codes.h"
#include "platform/core/message_loop.h"
#include "platform/sdl/sdl_backend.h"

namespace {

std::vector<PlatformMessage> s_messages;
std::string s_title;
bool s_resizable = true;
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
Rgb s_topLeft, s_topRight, s_bottomLeft, s_bottomRight;

// A 2 x 2 Windows bitmap: rows bottom-up, blue-green-red, each row padded to 4 bytes.
// Bottom row red, green; top row blue, white.
const uint8_t kPicture[] = {
    0,   0, 255, 0,   255, 0,   0, 0,  // bottom row + padding
    255, 0, 0,   255, 255, 255, 0, 0,  // top row + padding
};

void PushKey(bool down, bool repeat, SDL_Keycode keycode, SDL_Scancode scancode, Uint16 mod) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = keycode;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
}

// The text a key press typed, which SDL posts right behind its key-down.
void PushText(const char* text) {
    SDL_Event event = {};
    event.type = SDL_TEXTINPUT;
    std::snprintf(event.text.text, sizeof event.text.text, "%s", text);
    SDL_PushEvent(&event);
}

Rgb PixelAt(SDL_Surface* surface, int x, int y) {
    auto* row = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch;
    Uint32 pixel = 0;
    memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return Rgb{r, g, b};
}

void GameWindow(const PlatformMessage& msg) {
    if (msg.type != kMsgActivate) s_messages.push_back(msg);
    switch (msg.type) {
        case kMsgInitDialog: {
            s_title = SDL_GetWindowTitle(SdlWindow());
            s_resizable = (SDL_GetWindowFlags(SdlWindow()) & SDL_WINDOW_RESIZABLE) != 0;
            LoopSetTimer(1, 50, SdlNowMs());
            // The player types while the window is still opening.
            PushKey(true, false, SDLK_b, SDL_SCANCODE_B, KMOD_NONE);
            PushKey(true, true, SDLK_b, SDL_SCANCODE_B, KMOD_NONE);
            PushKey(false, false, SDLK_b, SDL_SCANCODE_B, KMOD_NONE);
            PushKey(true, false, SDLK_a, SDL_SCANCODE_A, KMOD_LALT);
            // Shift+; types the colon: the key-down and its text are one typed key.
            PushKey(true, false, SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_LSHIFT);
            PushText(":");
            PushKey(false, false, SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, KMOD_LSHIFT);
            break;
        }
        case kMsgPaint: {
            SdlPaintImage(PlatformImage{2, 2, kPicture});
            SDL_Surface* screen = SDL_GetWindowSurface(SdlWindow());
            ASSERT_NE(screen, nullptr);
            s_topLeft = PixelAt(screen, 0, 0);
            s_topRight = PixelAt(screen, screen->w - 1, 0);
            s_bottomLeft = PixelAt(screen, 0, screen->h - 1);
            s_bottomRight = PixelAt(screen, screen->w - 1, screen->h - 1);
            break;
        }
        case kMsgTimer: {
            LoopKillTimer(1);
            SDL_Event quit = {};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            break;
        }
        case kMsgClose:
            PlatformDestroyWindow();
            break;
        default:
            break;
    }
}

}  // namespace

TEST(SdlWindow, KeysThenPaintThenTickThenCloseEndsTheLoop) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    s_messages.clear();
    SdlRunWindow("Tapdash", 43, 46, GameWindow);

    EXPECT_EQ(s_title, "Tapdash");
    EXPECT_FALSE(s_resizable);
    std::vector<std::pair<int, int>> seen;
    for (const PlatformMessage& msg : s_messages) seen.emplace_back(msg.type, msg.wParam);
    std::vector<std::pair<int, int>> expected = {
        {kMsgInitDialog, 0},  {kMsgKeyDown, 'B'},       {kMsgKeyDown, 'B'},     {kMsgKeyUp, 'B'},
        {kMsgSysCommand, 16}, {kMsgKeyDown, kKeyColon}, {kMsgKeyUp, kKeyColon}, {kMsgPaint, 0},
        {kMsgTimer, 1},       {kMsgClose, 0},           {kMsgDestroy, 0},
    };
    EXPECT_EQ(seen, expected);

    // The picture fills the window, upright, in its own colours.
    EXPECT_EQ(s_topLeft, (Rgb{0, 0, 255}));
    EXPECT_EQ(s_topRight, (Rgb{255, 255, 255}));
    EXPECT_EQ(s_bottomLeft, (Rgb{255, 0, 0}));
    EXPECT_EQ(s_bottomRight, (Rgb{0, 255, 0}));

    EXPECT_EQ(SdlWindow(), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}
