// The window's picture and icons, drawn in code: the name Tapdash above three speakers for the
// three sides a character can come from, each with the key that answers it.
#include "app/picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A picture being drawn: top-down rows, converted to the platform's layout at the end.
struct Canvas {
    int width;
    int height;
    Rgb* pixels;
};

const Rgb kNightTop{12, 18, 40};
const Rgb kNightBottom{30, 46, 92};
const Rgb kWhite{245, 245, 250};
const Rgb kShadow{4, 6, 16};
const Rgb kPale{170, 185, 220};
// The three sides: left, centre, right.
const Rgb kSideColours[3] = {{70, 150, 255}, {90, 210, 120}, {255, 160, 60}};

// A 5 x 7 font for the few characters the picture uses; each row's low five bits, left first.
struct Glyph {
    char c;
    uint8_t rows[7];
};
const Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
};

const Glyph* FindGlyph(char c) {
    for (const Glyph& g : kFont)
        if (g.c == c) return &g;
    return nullptr;  // a blank
}

Rgb Mix(Rgb a, Rgb b, float t) {
    auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void Plot(Canvas& c, int x, int y, Rgb colour, float cover = 1.0f) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height || cover <= 0) return;
    Rgb& p = c.pixels[y * c.width + x];
    p = Mix(p, colour, std::min(cover, 1.0f));
}

void FillRect(Canvas& c, int x, int y, int w, int h, Rgb colour) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Plot(c, i, j, colour);
}

void VerticalGradient(Canvas& c, Rgb top, Rgb bottom) {
    for (int y = 0; y < c.height; ++y) {
        Rgb row = Mix(top, bottom, c.height > 1 ? float(y) / float(c.height - 1) : 0.0f);
        for (int x = 0; x < c.width; ++x) c.pixels[y * c.width + x] = row;
    }
}

// A filled disc with a soft edge.
void Disc(Canvas& c, float cx, float cy, float radius, Rgb colour) {
    for (int y = int(cy - radius - 1); y <= int(cy + radius + 1); ++y)
        for (int x = int(cx - radius - 1); x <= int(cx + radius + 1); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            Plot(c, x, y, colour, radius + 0.5f - d);
        }
}

// A ring segment between two angles (radians, 0 = right, counter-clockwise, y up).
void Arc(Canvas& c, float cx, float cy, float radius, float thickness, float from, float to,
         Rgb colour, float strength) {
    for (int y = int(cy - radius - thickness); y <= int(cy + radius + thickness); ++y)
        for (int x = int(cx - radius - thickness); x <= int(cx + radius + thickness); ++x) {
            float dx = x + 0.5f - cx, dy = cy - (y + 0.5f);
            float angle = std::atan2(dy, dx);
            if (angle < from || angle > to) continue;
            float d = std::fabs(std::hypot(dx, dy) - radius);
            Plot(c, x, y, colour, strength * (thickness / 2 + 0.5f - d));
        }
}

int TextWidth(const char* text, int scale) {
    return int(std::strlen(text)) * 6 * scale - scale;
}

void Text(Canvas& c, int x, int y, const char* text, int scale, Rgb colour) {
    for (; *text != '\0'; ++text, x += 6 * scale) {
        const Glyph* g = FindGlyph(*text);
        if (g == nullptr) continue;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (g->rows[row] & (0x10 >> col))
                    FillRect(c, x + col * scale, y + row * scale, scale, scale, colour);
    }
}

void CentredText(Canvas& c, int centreX, int y, const char* text, int scale, Rgb colour,
                 bool shadow) {
    int x = centreX - TextWidth(text, scale) / 2;
    if (shadow) Text(c, x + scale / 2 + 1, y + scale / 2 + 1, text, scale, kShadow);
    Text(c, x, y, text, scale, colour);
}

// A speaker for one side: a coloured disc with the side's letter and waves spreading from it.
void Speaker(Canvas& c, int side, float cx, float cy, float radius, bool label) {
    const float pi = 3.14159265f;
    // Waves leave the left speaker to the left, the right one to the right, the centre one up.
    const float centres[3] = {pi, pi / 2, 0};
    Rgb colour = kSideColours[side];
    for (int wave = 1; wave <= 3; ++wave) {
        float r = radius + wave * radius * 0.45f;
        Arc(c, cx, cy, r, std::max(1.5f, radius * 0.12f), centres[side] - 0.6f,
            centres[side] + 0.6f, colour, 1.0f - wave * 0.25f);
    }
    Disc(c, cx, cy, radius, colour);
    Disc(c, cx, cy, radius * 0.55f, Mix(colour, kWhite, 0.55f));
    if (label) {
        const char* letters[3] = {"L", "C", "R"};
        int scale = std::max(1, int(radius / 8));
        CentredText(c, int(cx), int(cy) - 7 * scale / 2, letters[side], scale, kShadow, false);
    }
}

PlatformImage ToPlatformImage(const Canvas& c) {
    const int stride = (c.width * 3 + 3) / 4 * 4;
    uint8_t* bytes = new uint8_t[size_t(stride) * c.height]();
    for (int y = 0; y < c.height; ++y) {
        uint8_t* row = bytes + size_t(c.height - 1 - y) * stride;  // bottom-up
        for (int x = 0; x < c.width; ++x) {
            const Rgb& p = c.pixels[y * c.width + x];
            row[x * 3] = p.b;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.r;
        }
    }
    return PlatformImage{c.width, c.height, bytes};
}

// Draws into a fresh canvas of the given size and hands back the platform's image.
PlatformImage Draw(int width, int height, void (*paint)(Canvas&)) {
    Rgb* pixels = new Rgb[size_t(width) * height];
    Canvas canvas{width, height, pixels};
    paint(canvas);
    PlatformImage image = ToPlatformImage(canvas);
    delete[] pixels;
    return image;
}

void PaintPicture(Canvas& c) {
    VerticalGradient(c, kNightTop, kNightBottom);
    CentredText(c, c.width / 2, 22, "TAPDASH", 5, kWhite, true);
    CentredText(c, c.width / 2, 68, "PLAY BY EAR", 2, kPale, false);
    const int centres[3] = {38, 107, 177};
    const char* keys[3] = {"CTRL", "SPACE", "ENTER"};
    for (int side = 0; side < 3; ++side) {
        Speaker(c, side, float(centres[side]), 132.0f, 18.0f, true);
        CentredText(c, centres[side], 172, keys[side], 2, kSideColours[side], false);
    }
    CentredText(c, c.width / 2, 208, "VERSION 1.0", 1, kPale, false);
}

void PaintIcon(Canvas& c) {
    VerticalGradient(c, kNightTop, kNightBottom);
    const float s = float(c.width);
    // A white T above three speaker dots, left, centre and right.
    CentredText(c, c.width / 2, int(s * 0.12f), "T", std::max(1, c.width / 16), kWhite, false);
    for (int side = 0; side < 3; ++side)
        Disc(c, s * (0.2f + 0.3f * side), s * 0.78f, s * 0.12f, kSideColours[side]);
}

}  // namespace

PlatformImage LoadBackgroundBitmap() {
    return Draw(kPictureWidth, kPictureHeight, PaintPicture);
}

PlatformImage LoadIconImage(int size) {
    if (size != 16 && size != 32 && size != 192) return PlatformImage{0, 0, nullptr};
    return Draw(size, size, PaintIcon);
}

void DeleteImage(PlatformImage& image) {
    delete[] image.pixels;
    image = PlatformImage{0, 0, nullptr};
}
