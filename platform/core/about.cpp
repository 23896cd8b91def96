// The About box's text, its lines one under the other, for the backend's own box.
#include <string>

#include "platform/driver.h"

void PlatformAboutBox(const char* caption, const char* const* lines, int lineCount) {
    std::string text;
    for (int i = 0; i < lineCount; ++i) {
        if (i > 0) text += '\n';
        text += lines[i] ? lines[i] : "";
    }
    PlatformCurrentDriver()->aboutBox(caption ? caption : "", text.c_str());
}
