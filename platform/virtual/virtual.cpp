// The virtual backend's clock, scripted input, record and failure injection.
#include "platform/virtual/virtual.h"

#include <map>

#include "platform/core/message_loop.h"
#include "platform/driver.h"
#include "platform/virtual/virtual_internal.h"

namespace {

// One piece of input scripted by the test, posted to the loop when its time comes.
struct ScriptedInput {
    int type;  // kMsgKeyDown, kMsgKeyUp, kMsgPaint, kMsgClose, kMsgSysCommand, kMsgActivate
    int wParam;
    int flags;
};

uint64_t s_nowMs = 0;
std::vector<VirtualCall> s_calls;
std::map<std::string, int> s_failures;
// Ordered by time; inputs scheduled for the same millisecond keep the order they were given in.
std::multimap<uint64_t, ScriptedInput> s_scripted;
VirtualHttpHandler s_httpHandler;
bool s_controllerAttached = false;

// Moves the clock on; the sound device renders what it would have played meanwhile.
void SetNow(uint64_t ms) {
    s_nowMs = ms;
    VirtualDeviceRenderTo(ms);
}

void Schedule(uint64_t atMs, int type, int wParam, int flags) {
    s_scripted.emplace(atMs, ScriptedInput{type, wParam, flags});
}

uint64_t LoopNow() {
    return s_nowMs;
}

// Posts every scripted input whose time has come, in time order. While no window is open the
// input keeps waiting for one.
void LoopPoll() {
    if (!LoopWindowOpen()) return;
    while (!s_scripted.empty() && s_scripted.begin()->first <= s_nowMs) {
        ScriptedInput input = s_scripted.begin()->second;
        s_scripted.erase(s_scripted.begin());
        switch (input.type) {
            case kMsgKeyDown:
            case kMsgKeyUp:
                LoopPostKey(input.type, input.wParam, input.flags);
                break;
            case kMsgPaint:
                LoopPostPaint();
                break;
            case kMsgClose:
                LoopPostClose();
                break;
            default:
                LoopPostMessage(input.type, input.wParam);
                break;
        }
    }
}

// Nothing happens between scripted inputs and timer ticks, so waiting jumps the clock straight
// to whichever comes first.
void LoopWait(uint64_t deadlineMs) {
    LoopPoll();
    if (LoopHasPendingEvents()) return;
    uint64_t target = deadlineMs;
    if (!s_scripted.empty() && s_scripted.begin()->first < target) {
        target = s_scripted.begin()->first;
    }
    if (target > s_nowMs) SetNow(target);
    LoopPoll();
}

const LoopBackend kVirtualLoopBackend = {LoopNow, LoopWait, LoopPoll};

}  // namespace

void VirtualReset() {
    PlatformSelectDriver(&g_virtualDriver);
    LoopReset();
    s_nowMs = 0;
    VirtualDeviceReset();
    VirtualDriverReset();
    s_calls.clear();
    s_failures.clear();
    s_scripted.clear();
    s_httpHandler = nullptr;
    s_controllerAttached = false;
}

uint64_t VirtualNowMs() {
    return s_nowMs;
}

void VirtualAdvance(uint64_t ms) {
    SetNow(s_nowMs + ms);
}

bool VirtualRunFor(uint64_t ms) {
    uint64_t untilMs = s_nowMs + ms;
    LoopRun(kVirtualLoopBackend, untilMs);
    // Time goes on when the window has closed (or never opened) before the end.
    if (s_nowMs < untilMs) SetNow(untilMs);
    return LoopWindowOpen();
}

bool VirtualRunUntilClosed(uint64_t limitMs) {
    return LoopRun(kVirtualLoopBackend, s_nowMs + limitMs);
}

void VirtualKeyDown(int virtualKey, bool shift) {
    VirtualKeyDownAt(s_nowMs, virtualKey, shift);
}
void VirtualKeyUp(int virtualKey) {
    VirtualKeyUpAt(s_nowMs, virtualKey);
}

void VirtualKeyDownAt(uint64_t atMs, int virtualKey, bool shift) {
    Schedule(atMs, kMsgKeyDown, virtualKey, shift ? kMsgFlagShift : 0);
}

void VirtualKeyUpAt(uint64_t atMs, int virtualKey) {
    Schedule(atMs, kMsgKeyUp, virtualKey, 0);
}

void VirtualPress(int virtualKey, bool shift) {
    VirtualKeyDown(virtualKey, shift);
    VirtualKeyUp(virtualKey);
}

void VirtualInvalidate() {
    Schedule(s_nowMs, kMsgPaint, 0, 0);
}
void VirtualCloseButton() {
    Schedule(s_nowMs, kMsgClose, 0, 0);
}
void VirtualSysCommand(int command) {
    Schedule(s_nowMs, kMsgSysCommand, command, 0);
}
void VirtualActivate(bool active) {
    Schedule(s_nowMs, kMsgActivate, active ? 1 : 0, 0);
}

const std::vector<VirtualCall>& VirtualCalls() {
    return s_calls;
}
void VirtualClearCalls() {
    s_calls.clear();
}

std::vector<VirtualCall> VirtualCallsOf(const std::string& op, const std::string& labelPart) {
    std::vector<VirtualCall> found;
    for (const VirtualCall& call : s_calls) {
        if (call.op != op) continue;
        if (!labelPart.empty() && call.label.find(labelPart) == std::string::npos) continue;
        found.push_back(call);
    }
    return found;
}

void VirtualRecord(const VirtualCall& call) {
    s_calls.push_back(call);
    s_calls.back().timeMs = s_nowMs;
}

void VirtualFail(const std::string& op, int count) {
    s_failures[op] = count;
}

bool VirtualShouldFail(const std::string& op) {
    auto it = s_failures.find(op);
    if (it == s_failures.end() || it->second <= 0) return false;
    --it->second;
    return true;
}

void VirtualAttachController(bool attached) {
    s_controllerAttached = attached;
}
bool VirtualControllerAttached() {
    return s_controllerAttached;
}

void VirtualSetHttpHandler(VirtualHttpHandler handler) {
    s_httpHandler = std::move(handler);
}
const VirtualHttpHandler& VirtualCurrentHttpHandler() {
    return s_httpHandler;
}
