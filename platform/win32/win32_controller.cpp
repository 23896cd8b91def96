// The game controller through DirectInput 8: the first attached one is opened and polled; its
// state is read and discarded (holding it exclusively in the foreground is the point).

#include "platform/win32/win32_backend.h"
// After windows.h, which they need.
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

namespace {

constexpr LONG kAxisMin = -1000;
constexpr LONG kAxisMax = 1000;

IDirectInput8W* s_input = nullptr;
IDirectInputDevice8W* s_controller = nullptr;

BOOL CALLBACK OpenFirstDevice(const DIDEVICEINSTANCEW* instance, void*) {
    if (SUCCEEDED(s_input->CreateDevice(instance->guidInstance, &s_controller, nullptr))) {
        return DIENUM_STOP;
    }
    s_controller = nullptr;
    return DIENUM_CONTINUE;
}

BOOL CALLBACK SetAxisRange(const DIDEVICEOBJECTINSTANCEW* object, void*) {
    DIPROPRANGE range = {};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = object->dwType;
    range.diph.dwHow = DIPH_BYID;
    range.lMin = kAxisMin;
    range.lMax = kAxisMax;
    return FAILED(s_controller->SetProperty(DIPROP_RANGE, &range.diph)) ? DIENUM_STOP
                                                                        : DIENUM_CONTINUE;
}

}  // namespace

int Win32ControllerOpen() {
    HRESULT result =
        DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                           reinterpret_cast<void**>(&s_input), nullptr);
    if (FAILED(result)) return -1;
    result =
        s_input->EnumDevices(DI8DEVCLASS_GAMECTRL, OpenFirstDevice, nullptr, DIEDFL_ATTACHEDONLY);
    if (FAILED(result)) return -1;
    if (!s_controller) return -1;
    if (FAILED(s_controller->SetDataFormat(&c_dfDIJoystick2))) return -1;
    if (FAILED(
            s_controller->SetCooperativeLevel(Win32Window(), DISCL_EXCLUSIVE | DISCL_FOREGROUND))) {
        return -1;
    }
    DIDEVCAPS capabilities = {};
    capabilities.dwSize = sizeof capabilities;
    if (FAILED(s_controller->GetCapabilities(&capabilities))) return -1;
    if (FAILED(s_controller->EnumObjects(SetAxisRange, nullptr, DIDFT_AXIS))) return -1;
    return 0;
}

void Win32ControllerAcquire() {
    if (s_controller) s_controller->Acquire();
}

int Win32ControllerPoll() {
    if (!s_controller) return 0;
    if (FAILED(s_controller->Poll())) {
        Win32AcquireAfterLoss(
            [](void* device) { return static_cast<IDirectInputDevice8W*>(device)->Acquire(); },
            s_controller);
        return 0;
    }
    DIJOYSTATE2 state;
    HRESULT result = s_controller->GetDeviceState(sizeof state, &state);
    return FAILED(result) ? -1 : 0;
}

HRESULT Win32AcquireAfterLoss(HRESULT (*acquire)(void* device), void* device) {
    HRESULT result = acquire(device);
    for (int tries = 1; result == DIERR_INPUTLOST && tries < kControllerAcquireTries; ++tries)
        result = acquire(device);
    return result;
}

void Win32ControllerClose() {
    if (s_controller) {
        s_controller->Unacquire();
        s_controller->Release();
        s_controller = nullptr;
    }
    if (s_input) {
        s_input->Release();
        s_input = nullptr;
    }
}
