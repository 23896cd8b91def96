// The console on POSIX systems: terminals speak UTF-8 already, so bytes pass as they are.
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/platform.h"

bool PlatformReadLine(std::string* line) {
    return static_cast<bool>(std::getline(std::cin, *line));
}

void PlatformWriteText(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

// A terminal stays open after the programs it ran.
bool PlatformConsoleEndsWithProgram() {
    return false;
}
