// The window's picture and icons, drawn by code.
#pragma once

#include "platform/platform.h"

constexpr int kPictureWidth = 215;
constexpr int kPictureHeight = 228;

// Draws the picture into a new image; DeleteImage frees it.
PlatformImage LoadBackgroundBitmap();
// Draws the window icon at 16 x 16 or 32 x 32.
PlatformImage LoadIconImage(int size);
void DeleteImage(PlatformImage& image);
