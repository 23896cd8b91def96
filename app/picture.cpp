// Placeholder until the picture is drawn.
#include "app/picture.h"

PlatformImage LoadBackgroundBitmap() { return PlatformImage{0, 0, nullptr}; }
PlatformImage LoadIconImage(int) { return PlatformImage{0, 0, nullptr}; }
void DeleteImage(PlatformImage& image) { image = PlatformImage{0, 0, nullptr}; }
