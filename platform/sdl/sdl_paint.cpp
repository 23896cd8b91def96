// Painting the picture and setting the icon: Windows bitmaps turned into SDL surfaces.
#include <SDL.h>

#include <cstring>

#include "platform/sdl/sdl_backend.h"

namespace {

// A surface holding the picture upright. Null when the picture is empty.
SDL_Surface* SurfaceFromImage(const PlatformImage& image) {
    if (image.width <= 0 || image.height <= 0 || !image.pixels) return nullptr;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 24, SDL_PIXELFORMAT_BGR24);
    if (!surface) return nullptr;
    // Rows of a Windows bitmap run from the bottom up, each padded to 4 bytes.
    size_t rowBytes = static_cast<size_t>(image.width) * 3;
    size_t sourceStride = (rowBytes + 3) & ~static_cast<size_t>(3);
    auto* target = static_cast<uint8_t*>(surface->pixels);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* source = image.pixels + sourceStride * (image.height - 1 - row);
        std::memcpy(target + static_cast<size_t>(surface->pitch) * row, source, rowBytes);
    }
    return surface;
}

}  // namespace

void SdlPaintImage(const PlatformImage& image) {
    SDL_Window* window = SdlWindow();
    if (!window) return;
    SDL_Surface* screen = SDL_GetWindowSurface(window);
    SDL_Surface* picture = SurfaceFromImage(image);
    if (!screen || !picture) {
        SDL_FreeSurface(picture);
        return;
    }
    SDL_Surface* converted = SDL_ConvertSurface(picture, screen->format, 0);
    SDL_FreeSurface(picture);
    if (!converted) return;
    SDL_BlitScaled(converted, nullptr, screen, nullptr);
    SDL_FreeSurface(converted);
    SDL_UpdateWindowSurface(window);
}

void SdlSetWindowIcon(const PlatformImage& big, const PlatformImage& small) {
    SDL_Window* window = SdlWindow();
    if (!window) return;
    // SDL takes one icon and scales it; the larger one gives the better small version.
    SDL_Surface* icon = SurfaceFromImage(big);
    if (!icon) icon = SurfaceFromImage(small);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}
