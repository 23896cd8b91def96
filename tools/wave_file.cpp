#include "tools/wave_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "audio/sound_file.h"

namespace {
void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}
}  // namespace

std::string StoredWaveBytes(const std::vector<int16_t>& samples, int sampleRate) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::string out;
    out.reserve(kSoundFileHeaderBytes + dataBytes);
    out += "RIFF";
    PutLe(out, kSoundFileHeaderBytes - 8 + dataBytes, 4);  // all that follows this field
    out += "WAVEfmt ";
    PutLe(out, kSoundFileFormatChunkBytes, 4);
    PutLe(out, 1, 2);               // PCM
    PutLe(out, 1, 2);               // mono
    PutLe(out, sampleRate, 4);      // samples a second
    PutLe(out, sampleRate * 2, 4);  // bytes a second
    PutLe(out, 2, 2);               // block alignment
    PutLe(out, 16, 2);              // bits a sample
    out += "data";
    PutLe(out, dataBytes, 4);
    for (int16_t s : samples) PutLe(out, uint16_t(s), 2);
    // A sound of fewer than three samples has no whole block to reverse; the pack has none.
    if (out.size() >= size_t(kScrambledPrefixBytes))
        std::reverse(out.begin(), out.begin() + kScrambledPrefixBytes);
    return out;
}

std::string PackPath(const std::string& dir, const std::string& relativeName) {
    std::string path = dir;
    if (!path.empty() && path.back() != '/') path += '/';
    for (char c : relativeName) path += c == '\\' ? '/' : c;
    return path;
}

int WritePackFile(const std::string& dir, const std::string& relativeName,
                  const std::string& bytes) {
    std::filesystem::path path = PackPath(dir, relativeName);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) return 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    return out.good() ? 1 : 0;
}
