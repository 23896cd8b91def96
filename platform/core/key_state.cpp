#include "platform/core/key_state.h"

#include <map>

#include "platform/key_codes.h"
#include "platform/core/message_loop.h"
#include "platform/core/trace.h"
#include "platform/core/typed_keys.h"

namespace {

// The code each held key went down with; a key whose key-down did not reach the game has none.
std::map<uint32_t, int> s_heldCodes;

}  // namespace

bool KeyStatePost(const KeyEvent& event) {
    const int flags = event.shift ? kMsgFlagShift : 0;
    const bool systemKey = event.alt && !event.altGr;
    auto held = s_heldCodes.find(event.where);
    if (!event.down) {
        if (held == s_heldCodes.end()) {
            if (systemKey) return false;
            LoopPostKey(kMsgKeyUp, event.code, flags);
            return true;
        }
        LoopPostKey(kMsgKeyUp, held->second, flags);
        s_heldCodes.erase(held);
        return true;
    }
    if (held != s_heldCodes.end()) s_heldCodes.erase(held);
    if (systemKey) {
        PlatformTraceNumber(event.repeat ? "key-repeat" : "key-down", event.code);
        if (event.code != kKeyA && event.code != kKeyF4) return false;
        if (event.repeat) return true;
        if (event.code == kKeyA) LoopPostMessage(kMsgSysCommand, kSysCommandAbout);
        if (event.code == kKeyF4) LoopPostClose();
        return true;
    }
    const int code = TypedKeyCode(event.code, event.typed);
    PlatformTraceNumber(event.repeat ? "key-repeat" : "key-down", code);
    s_heldCodes[event.where] = code;
    LoopPostKey(kMsgKeyDown, code, flags);
    return true;
}

void KeyStateReset() {
    s_heldCodes.clear();
}
