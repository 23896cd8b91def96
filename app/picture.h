// The window's picture and icons, drawn by code.
#pragma once

#include "platform/platform.h"

constexpr int kPictureWidth = 215;
constexpr int kPictureHeight = 228;

// Draws the picture into a new image; DeleteImage frees it.
PlatformImage LoadBackgroundBitmap();
// Draws the window icon at 16, 32 or 192 pixels square (the last for the browser build's app).
PlatformImage LoadIconImage(int size);
void DeleteImage(PlatformImage& image);
