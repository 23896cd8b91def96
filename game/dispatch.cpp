// Routes every key-down, key-up and tick to the handlers of the current mode.
#include "game/dispatch.h"

#include "game/announcer.h"
#include "game/intro.h"
#include "game/learn.h"
#include "game/level.h"
#include "game/menu.h"
#include "game/practice.h"
#include "game/state.h"
#include "online/submit.h"

namespace {

// A handler's result matters only in the menu, where 0 means the player is leaving.
typedef int (*KeyHandler)(int key);
typedef void (*TickHandler)();

struct ModeRoute {
    int mode;
    KeyHandler keyDown;
    KeyHandler keyUp;  // null: the key-up is dropped
    TickHandler tick;  // null: the tick is dropped
};

const ModeRoute kRoutes[] = {
    // mode              key-down                                     key-up  tick
    {MODE_INTRO, [](int key) { return IntroKeyDown(key), 1; }, nullptr, IntroTick},
    {MODE_MENU, MenuKeyDown, nullptr, MenuTick},
    {MODE_PRACTICE, PracticeKeyDown, nullptr, PracticeTick},
    {MODE_SPEAKER_TEST, [](int) { return 1; }, nullptr, nullptr},
    {MODE_LEARN, OnLearnKey, nullptr, nullptr},
    {MODE_FINAL_SCORE, [](int key) { return AnnouncerKeyDown(key), 1; }, nullptr, AnnouncerTick},
    {MODE_TOP_TEN, [](int key) { return AnnouncerKeyDown(key), 1; }, nullptr, AnnouncerTick},
    {MODE_SEND_SCORE, OnSubmitKey, nullptr, nullptr},
    {MODE_GAME_OVER, [](int key) { return GameOverKeyDown(key), 1; }, nullptr, GameOverTick},
    {MODE_LEVEL, LevelKeyDown, [](int key) { return LevelKeyUp(key), 1; }, [] { LevelTick(); }},
};

const ModeRoute* RouteOf(int mode) {
    for (const ModeRoute& route : kRoutes) {
        if (route.mode == mode) return &route;
    }
    return nullptr;
}

}  // namespace

int KeyDownDispatch(int key) {
    int mode = g_mode;
    const ModeRoute* route = RouteOf(mode);
    if (!route) return 1;
    int result = route->keyDown(key);
    if (mode == MODE_MENU && result == 0) {
        PlayExitMessage();
        return 0;
    }
    return 1;
}

void KeyUpDispatch(int key) {
    const ModeRoute* route = RouteOf(g_mode);
    if (route && route->keyUp) route->keyUp(key);
}

int TickDispatch() {
    const ModeRoute* route = RouteOf(g_mode);
    if (route && route->tick) route->tick();
    return 1;
}

void FocusDispatch(int hasKeyboard) {
    if (hasKeyboard) {
        ResumeLevel();
    } else if (g_mode == MODE_LEVEL || g_mode == MODE_PRACTICE) {
        PauseLevel();
    }
}
