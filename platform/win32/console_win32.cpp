// The console on Windows. A console hands narrow programs its own code page (437 or 850 in most
// of the world), in which "é" is one byte that no server reads as "é"; so a console is read and
// written in UTF-16 and converted. Pipes and files keep their bytes as they are.
#include "platform/win32/win32_backend.h"

namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace

bool PlatformReadLine(std::string* line) {
    line->clear();
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (IsConsole(input)) {
        std::wstring typed;
        bool ended = false;
        for (;;) {
            wchar_t c = 0;
            DWORD read = 0;
            if (!ReadConsoleW(input, &c, 1, &read, nullptr) || read == 0) {
                ended = true;
                break;
            }
            if (c == L'\n') break;
            typed += c;
        }
        if (!typed.empty() && typed.back() == L'\r') typed.pop_back();
        if (typed == L"\x1a" || (ended && typed.empty())) return false;
        *line = Win32Utf8(typed.c_str());
        return true;
    }
    for (;;) {
        char c = 0;
        DWORD read = 0;
        if (!input || !ReadFile(input, &c, 1, &read, nullptr) || read == 0) return !line->empty();
        if (c == '\n') return true;
        *line += c;
    }
}

void PlatformWriteText(const std::string& text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (IsConsole(output)) {
        const std::wstring wide = Win32Wide(text.c_str());
        WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    if (output && output != INVALID_HANDLE_VALUE)
        WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// A console that lists this process alone was made for it, and closes with it.
bool PlatformConsoleEndsWithProgram() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}
