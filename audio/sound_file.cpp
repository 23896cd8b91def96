// The reader of the stored form: one read of the whole file into the shared buffer, then the
// scrambled prefix put back in order.
#include "audio/sound_file.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

// The buffer starts on a large page where the system allows it, so that the reads of the first
// files land on large pages too (see PlatformAdviseLargePages).
alignas(kPlatformStaticAlignment) uint8_t g_fileBuffer[kMaxSoundFileBytes];
int g_fileBufferBytes = 0;

namespace {

constexpr int kPathBufferChars = 1024;

uint32_t ReadLe(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

// The loader takes the wave format and the samples from fixed offsets, so only a file whose
// format chunk is the PCM one, followed at once by the data chunk, will do; and the data may not
// claim more bytes than were read.
bool IsCanonicalWave(const uint8_t* file, long bytesRead) {
    if (bytesRead < kSoundFileHeaderBytes) return false;
    if (std::memcmp(file + kSoundFileFormatTagOffset, "fmt ", 4) != 0 ||
        ReadLe(file + kSoundFileFormatSizeOffset, 4) != kSoundFileFormatChunkBytes)
        return false;
    if (ReadLe(file + kSoundFileFormatOffset, 2) != 1) return false;
    if (std::memcmp(file + kSoundFileDataTagOffset, "data", 4) != 0) return false;
    return ReadLe(file + kSoundFileDataLengthOffset, 4) <=
           static_cast<uint32_t>(bytesRead - kSoundFileHeaderBytes);
}

}  // namespace

int ReadSoundFile(const char* relativeName) {
    char path[kPathBufferChars];
    const int length = std::snprintf(path, sizeof path, "%s%s", g_programDir.c_str(), relativeName);
    if (length < 0 || length >= kPathBufferChars) return 0;

    static bool advised = false;
    if (!advised) {
        PlatformAdviseLargePages(g_fileBuffer, kMaxSoundFileBytes);
        advised = true;
    }
    PlatformFile file = PlatformOpenRead(path);
    if (!file) return 0;
    const long bytesRead = PlatformRead(file, g_fileBuffer, kMaxSoundFileBytes);
    PlatformClose(file);
    if (bytesRead <= 0) return 0;

    for (int i = 0; i < kScrambledPrefixBytes / 2; ++i) {
        const uint8_t byte = g_fileBuffer[i];
        g_fileBuffer[i] = g_fileBuffer[kScrambledPrefixBytes - 1 - i];
        g_fileBuffer[kScrambledPrefixBytes - 1 - i] = byte;
    }
    if (!IsCanonicalWave(g_fileBuffer, bytesRead)) return 0;
    g_fileBufferBytes = static_cast<int>(bytesRead);
    return 1;
}

PlatformWaveFormat SoundFileFormat() {
    PlatformWaveFormat format;
    format.formatTag = static_cast<uint16_t>(ReadLe(g_fileBuffer + kSoundFileFormatOffset, 2));
    format.channels = static_cast<uint16_t>(ReadLe(g_fileBuffer + kSoundFileFormatOffset + 2, 2));
    format.samplesPerSec = ReadLe(g_fileBuffer + kSoundFileFormatOffset + 4, 4);
    format.avgBytesPerSec = ReadLe(g_fileBuffer + kSoundFileFormatOffset + 8, 4);
    format.blockAlign =
        static_cast<uint16_t>(ReadLe(g_fileBuffer + kSoundFileFormatOffset + 12, 2));
    format.bitsPerSample =
        static_cast<uint16_t>(ReadLe(g_fileBuffer + kSoundFileFormatOffset + 14, 2));
    return format;
}

uint32_t SoundFileDataBytes() {
    return ReadLe(g_fileBuffer + kSoundFileDataLengthOffset, 4);
}
