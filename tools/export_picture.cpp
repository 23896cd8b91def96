// tapdash-picture: writes the window's picture and icons as PNG files into a folder:
// tapdash.png (the picture), tapdash-16.png and tapdash-32.png (the icons), both icons in
// tapdash.ico for the Windows build's resources, and tapdash-192.png for the browser build's app.
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/picture.h"
#include "tools/png_file.h"

static bool Save(const std::string& path, PlatformImage image) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    bool ok = image.pixels != nullptr;
    if (ok) {
        std::string png = PngBytes(image);
        out.write(png.data(), std::streamsize(png.size()));
    }
    DeleteImage(image);
    return ok && out.good();
}

static void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// One icon image as Windows stores it: a 32-bit bitmap of twice the height (colours, then an
// empty mask), rows bottom-up as in the picture.
static std::string IconImageBytes(const PlatformImage& image) {
    std::string bytes;
    PutLe(bytes, 40, 4);
    PutLe(bytes, uint32_t(image.width), 4);
    PutLe(bytes, uint32_t(image.height * 2), 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, 32, 2);
    for (int i = 0; i < 6; ++i) PutLe(bytes, 0, 4);
    const size_t stride = (size_t(image.width) * 3 + 3) & ~size_t(3);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* pixel = image.pixels + stride * row;
        for (int x = 0; x < image.width; ++x, pixel += 3) {
            bytes.append(reinterpret_cast<const char*>(pixel), 3);
            bytes += static_cast<char>(0xFF);
        }
    }
    const size_t maskStride = ((size_t(image.width) + 31) / 32) * 4;
    bytes.append(maskStride * size_t(image.height), '\0');
    return bytes;
}

static bool SaveIcon(const std::string& path, std::vector<PlatformImage> images) {
    bool ok = true;
    std::string head, data;
    PutLe(head, 0, 2);
    PutLe(head, 1, 2);
    PutLe(head, uint32_t(images.size()), 2);
    const uint32_t firstImage = 6 + 16 * uint32_t(images.size());
    for (const PlatformImage& image : images) {
        ok = ok && image.pixels != nullptr;
        if (!ok) break;
        std::string bytes = IconImageBytes(image);
        head += static_cast<char>(image.width);
        head += static_cast<char>(image.height);
        PutLe(head, 0, 2);
        PutLe(head, 1, 2);
        PutLe(head, 32, 2);
        PutLe(head, uint32_t(bytes.size()), 4);
        PutLe(head, firstImage + uint32_t(data.size()), 4);
        data += bytes;
    }
    for (PlatformImage& image : images) DeleteImage(image);
    if (!ok) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), std::streamsize(head.size()));
    out.write(data.data(), std::streamsize(data.size()));
    return out.good();
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = Save(dir + "tapdash.png", LoadBackgroundBitmap()) &&
              Save(dir + "tapdash-16.png", LoadIconImage(16)) &&
              Save(dir + "tapdash-32.png", LoadIconImage(32)) &&
              Save(dir + "tapdash-192.png", LoadIconImage(192)) &&
              SaveIcon(dir + "tapdash.ico", {LoadIconImage(16), LoadIconImage(32)});
    if (!ok) std::fprintf(stderr, "tapdash-picture: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
