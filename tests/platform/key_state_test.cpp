// The key state machine: sequences of key events as any backend hands them in, and the messages
// the game gets.
#include "platform/core/key_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/key_codes.h"
#include "platform/core/message_loop.h"

namespace {

struct Step {
    KeyEvent event;
    bool taken;  // what KeyStatePost answers: false leaves the event to the system
};

struct Heard {
    int type;
    int code;
    int flags;
    bool operator==(const Heard&) const = default;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
    std::vector<Heard> heard;
};

constexpr uint32_t kLeftCtrlKey = 1;
constexpr uint32_t kRightCtrlKey = 2;
constexpr uint32_t kLetterKey = 3;
constexpr uint32_t kSlashKey = 4;

KeyEvent Down(uint32_t where, int code, uint32_t typed = 0) {
    return {.where = where, .down = true, .code = code, .typed = typed};
}
KeyEvent Repeat(uint32_t where, int code, uint32_t typed = 0) {
    KeyEvent event = Down(where, code, typed);
    event.repeat = true;
    return event;
}
KeyEvent Up(uint32_t where, int code) {
    return {.where = where, .down = false, .code = code};
}
KeyEvent WithAlt(KeyEvent event) {
    event.alt = true;
    return event;
}
KeyEvent WithAltGr(KeyEvent event) {
    event.alt = event.altGr = true;
    return event;
}
KeyEvent WithShift(KeyEvent event) {
    event.shift = true;
    return event;
}

const Sequence kSequences[] = {
    {"a held key repeats its press and goes up once",
     {{Down(kLetterKey, kKeyB, 'b'), true},
      {Repeat(kLetterKey, kKeyB, 'b'), true},
      {Up(kLetterKey, kKeyB), true}},
     {{kMsgKeyDown, kKeyB, 0}, {kMsgKeyDown, kKeyB, 0}, {kMsgKeyUp, kKeyB, 0}}},
    {"a key-up carries the character its key-down typed",
     {{Down(kSlashKey, kKeyOem2, ':'), true}, {Up(kSlashKey, kKeyOem2), true}},
     {{kMsgKeyDown, kKeyColon, 0}, {kMsgKeyUp, kKeyColon, 0}}},
    {"Shift held at the press travels with the key",
     {{WithShift(Down(kSlashKey, kKeyOem2, '?')), true}, {Down(kLetterKey, kKeyB, 'b'), true}},
     {{kMsgKeyDown, kKeyOem2, kMsgFlagShift}, {kMsgKeyDown, kKeyB, 0}}},
    {"two keys of one code go up each on its own",
     {{Down(kLeftCtrlKey, kKeyCtrl), true},
      {Down(kRightCtrlKey, kKeyCtrl), true},
      {Up(kLeftCtrlKey, kKeyCtrl), true},
      {Up(kRightCtrlKey, kKeyCtrl), true}},
     {{kMsgKeyDown, kKeyCtrl, 0},
      {kMsgKeyDown, kKeyCtrl, 0},
      {kMsgKeyUp, kKeyCtrl, 0},
      {kMsgKeyUp, kKeyCtrl, 0}}},
    {"Alt with a key is the system's, its key-up too",
     {{WithAlt(Down(kLetterKey, kKeyB, 'b')), false}, {WithAlt(Up(kLetterKey, kKeyB)), false}},
     {}},
    {"Alt+A asks for the About box once however long it is held",
     {{WithAlt(Down(kLetterKey, kKeyA, 'a')), true},
      {WithAlt(Repeat(kLetterKey, kKeyA, 'a')), true},
      {WithAlt(Up(kLetterKey, kKeyA)), false}},
     {{kMsgSysCommand, kSysCommandAbout, 0}}},
    {"Alt+F4 closes the window",
     {{WithAlt(Down(kLetterKey, kKeyF4)), true}, {WithAlt(Repeat(kLetterKey, kKeyF4)), true}},
     {{kMsgClose, 0, 0}}},
    {"AltGr is not Alt",
     {{WithAltGr(Down(kLetterKey, kKeyA + 'Q' - 'A', '@')), true},
      {WithAltGr(Up(kLetterKey, kKeyA + 'Q' - 'A')), true}},
     {{kMsgKeyDown, 'Q', 0}, {kMsgKeyUp, 'Q', 0}}},
    {"a key held before Alt still goes up in the game",
     {{Down(kLetterKey, kKeyB, 'b'), true}, {WithAlt(Up(kLetterKey, kKeyB)), true}},
     {{kMsgKeyDown, kKeyB, 0}, {kMsgKeyUp, kKeyB, 0}}},
};

std::vector<Heard> s_heard;

void Hear(const PlatformMessage& msg) {
    if (msg.type != kMsgDestroy) s_heard.push_back({msg.type, msg.wParam, msg.flags});
}

uint64_t ClockAtZero() {
    return 0;
}
void NothingToWaitFor(uint64_t) {}
void NothingArrives() {}

}  // namespace

TEST(KeyState, EverySequenceGivesTheGameWhatItMeans) {
    for (const Sequence& sequence : kSequences) {
        KeyStateReset();
        s_heard.clear();
        LoopBegin(Hear);
        for (size_t n = 0; n < sequence.steps.size(); ++n) {
            EXPECT_EQ(KeyStatePost(sequence.steps[n].event), sequence.steps[n].taken)
                << sequence.name << ", step " << n;
        }
        LoopRun(LoopBackend{ClockAtZero, NothingToWaitFor, NothingArrives}, 0);
        LoopDestroyWindow();
        EXPECT_EQ(s_heard, sequence.heard) << sequence.name;
    }
}
