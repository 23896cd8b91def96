// Any sound file is either refused or has a header whose data lies wholly within what was read.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/sound_file.h"
#include "platform/platform.h"
#include "tests/fuzz/require.h"

static uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_programDir.empty()) {
        // script/fuzz gives a folder in its build folder; otherwise a fresh temporary one.
        const char* given = std::getenv("TAPDASH_FUZZ_DIR");
        char folder[] = "/tmp/tapdash-fuzz-XXXXXX";
        if (!given) Require(mkdtemp(folder) != nullptr);
        g_programDir = std::string(given ? given : folder) + "/";
    }
    const std::string path = g_programDir + "fuzz.vgz";
    // A fresh file each time: truncating one makes some file systems flush it to disk at close.
    unlink(path.c_str());
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr);
    Require(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    if (!ReadSoundFile("fuzz.vgz")) return 0;
    Require(g_fileBufferBytes == static_cast<int>(size));
    Require(size >= kSoundFileHeaderBytes);
    Require(Le32(g_fileBuffer + kSoundFileDataLengthOffset) <= size - kSoundFileHeaderBytes);
    for (size_t i = kScrambledPrefixBytes; i < size; ++i) Require(g_fileBuffer[i] == data[i]);
    return 0;
}
