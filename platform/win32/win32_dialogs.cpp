// Modal message boxes owned by the main window: standard Windows boxes, which screen readers
// read out.
#include "platform/win32/win32_backend.h"

void Win32MessageBox(const char* caption, const char* text) {
    std::wstring wideCaption = Win32Wide(caption);
    std::wstring wideText = Win32Wide(text);
    MessageBoxW(Win32Window(), wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONERROR);
}

void Win32AboutBox(const char* caption, const char* text) {
    std::wstring wideCaption = Win32Wide(caption);
    std::wstring wideText = Win32Wide(text);
    MessageBoxW(Win32Window(), wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONINFORMATION);
}
