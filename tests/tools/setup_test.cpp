// What the build and the installation set up beside the game: best.dat, and the picture and
// icons the window shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/picture.h"
#include "tests/support/test_pack.h"

namespace {

int EnsureBestDat(const std::string& dir) {
    std::string command =
        "cmake -DPROGRAM_DIR=" + dir + " -P " + TAPDASH_SOURCE_DIR + "/tools/ensure_best_dat.cmake";
    return std::system(command.c_str());
}

TEST(SetupTest, AFreshFolderGetsAnEmptyBestDatAndAPlayersScoresAreNeverTouched) {
    const std::string dir = MakeScratchDir();
    ASSERT_EQ(EnsureBestDat(dir), 0);
    ASSERT_TRUE(std::filesystem::exists(dir + "best.dat"));
    EXPECT_EQ(std::filesystem::file_size(dir + "best.dat"), 0u);

    const std::string scores("\x39\x34\x45\x37\x3f\x32\x38", 7);
    WriteFileBytes(dir + "best.dat", scores);
    ASSERT_EQ(EnsureBestDat(dir), 0);
    EXPECT_EQ(ReadFileBytes(dir + "best.dat"), scores);
}

TEST(SetupTest, TheBuiltProgramFolderHasABestDat) {
    EXPECT_TRUE(std::filesystem::exists(std::string(TAPDASH_PROGRAM_DIR) + "/best.dat"));
}

// Colours of one third of the picture's middle band, as 0xRRGGBB.
std::set<int> ColoursIn(const PlatformImage& image, int third) {
    const int stride = (image.width * 3 + 3) / 4 * 4;
    std::set<int> colours;
    for (int y = image.height / 3; y < image.height * 2 / 3; ++y)
        for (int x = third * image.width / 3; x < (third + 1) * image.width / 3; ++x) {
            const uint8_t* p = image.pixels + y * stride + x * 3;
            colours.insert(p[2] << 16 | p[1] << 8 | p[0]);
        }
    return colours;
}

bool HasColourLeaning(const std::set<int>& colours, int channel) {
    for (int c : colours) {
        int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
        int v[3] = {r, g, b};
        if (v[channel] > 200 && v[channel] > v[(channel + 1) % 3] + 60 &&
            v[channel] > v[(channel + 2) % 3] + 60)
            return true;
    }
    return false;
}

TEST(SetupTest, ThePictureShowsThreeSidesInTheirOwnColoursLeftToRight) {
    PlatformImage picture = LoadBackgroundBitmap();
    ASSERT_NE(picture.pixels, nullptr);
    EXPECT_EQ(picture.width, 215);
    EXPECT_EQ(picture.height, 228);
    EXPECT_TRUE(HasColourLeaning(ColoursIn(picture, 0), 2));   // blue on the left
    EXPECT_TRUE(HasColourLeaning(ColoursIn(picture, 1), 1));   // green in the centre
    EXPECT_TRUE(HasColourLeaning(ColoursIn(picture, 2), 0));   // orange on the right
    EXPECT_FALSE(HasColourLeaning(ColoursIn(picture, 0), 0));  // and no orange on the left
    DeleteImage(picture);
    EXPECT_EQ(picture.pixels, nullptr);

    for (int size : {16, 32, 192}) {
        PlatformImage icon = LoadIconImage(size);
        ASSERT_NE(icon.pixels, nullptr);
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.height, size);
        DeleteImage(icon);
    }
}

}  // namespace
