// tapdash-picture: writes the window's picture and icons as PNG files into a folder:
// tapdash.png (the picture), tapdash-16.png and tapdash-32.png (the icons).
#include <cstdio>
#include <fstream>

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

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = Save(dir + "tapdash.png", LoadBackgroundBitmap()) &&
              Save(dir + "tapdash-16.png", LoadIconImage(16)) &&
              Save(dir + "tapdash-32.png", LoadIconImage(32));
    if (!ok) std::fprintf(stderr, "tapdash-picture: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
