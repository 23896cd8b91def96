// Whole-file reads for the storage files, through the platform layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum FileBytesResult {
    kFileNotOpened = 0,   // missing, or not readable
    kFileReadWhole = 1,   // every byte up to the limit or the end was read
    kFileReadFailed = 2,  // opened, but a read failed part way; `out` holds what came before
};

// Reads at most `limit` bytes from the start of the file into `out`.
FileBytesResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>* out);
