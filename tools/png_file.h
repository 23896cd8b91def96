// PNG files of the game's pictures, for the desktop icon and for looking at the picture.
#pragma once

#include <string>

#include "platform/platform.h"

// The PNG bytes of a picture in the platform's layout (bottom-up BGR rows padded to 4 bytes).
std::string PngBytes(const PlatformImage& image);
