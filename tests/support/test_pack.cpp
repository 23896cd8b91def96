#include "tests/support/test_pack.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "audio/banks.h"
#include "audio/sound_file.h"

namespace fs = std::filesystem;

std::string MakeScratchDir() {
#ifdef _WIN32
    // No mkdtemp: a new folder with a name not taken yet, which create_directory tells.
    static unsigned s_counter = 0;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        fs::path dir = base / ("tapdash-test-" + std::to_string(std::rand()) + "-" +
                               std::to_string(++s_counter));
        std::error_code error;
        if (fs::create_directory(dir, error)) return dir.string() + "/";
    }
    throw std::runtime_error("no scratch folder");
#else
    std::string pattern = (fs::temp_directory_path() / "tapdash-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern + "/";
#endif
}

// Where a file of the pack lies: every folder is written in lower case but "TestSpk" (lookups
// ignore case), with the host's separators.
static std::string PackPath(const std::string& dir, std::string relativeName) {
    if (relativeName.rfind("Level1\\", 0) == 0) relativeName[0] = 'l';
    std::string path = dir + relativeName;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

fs::path Utf8Path(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    fs::create_directories(Utf8Path(path).parent_path());
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static void PutLe(std::string& s, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void WriteTestSound(const std::string& path, int lengthMs) {
    const uint32_t rate = 1000;
    const uint32_t dataBytes = static_cast<uint32_t>(lengthMs);
    std::string wav = "RIFF";
    PutLe(wav, kSoundFileHeaderBytes - 8 + dataBytes, 4);
    wav += "WAVEfmt ";
    PutLe(wav, kSoundFileFormatChunkBytes, 4);
    PutLe(wav, 1, 2);     // PCM
    PutLe(wav, 1, 2);     // mono
    PutLe(wav, rate, 4);  // samples a second
    PutLe(wav, rate, 4);  // bytes a second
    PutLe(wav, 1, 2);     // block alignment
    PutLe(wav, 8, 2);     // bits
    wav += "data";
    PutLe(wav, dataBytes, 4);
    for (uint32_t i = 0; i < dataBytes; ++i) wav.push_back(static_cast<char>(i % 8 < 4 ? 160 : 96));
    // The stored form: the first 50 bytes in reverse order.
    size_t n = std::min(wav.size(), size_t(kScrambledPrefixBytes));
    for (size_t i = 0; i < n / 2; ++i) std::swap(wav[i], wav[n - 1 - i]);
    WriteFileBytes(path, wav);
}

void WriteTestPack(const std::string& dir, std::function<int(const std::string&)> lengthMs) {
    std::set<std::string> written;
    for (const SoundFileList& list : kSoundFileLists) {
        for (int i = 0; i < list.count; ++i) {
            std::string key = list.files[i];
            for (char& c : key) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
            if (!written.insert(key).second) continue;
            WriteTestSound(PackPath(dir, list.files[i]), lengthMs ? lengthMs(list.files[i]) : 1000);
        }
    }
}

void RemovePackFile(const std::string& dir, const std::string& relativeName) {
    fs::remove(PackPath(dir, relativeName));
}
