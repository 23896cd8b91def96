// Whole-file reads and head writes for the storage files, through the platform layer.
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

// Reads at most `limit` bytes from the start of the file into `out`. When `endsWithin` is given,
// it tells whether the file ends within those bytes (one byte more is looked at for that).
FileBytesResult ReadFileHead(const std::string& path, size_t limit, std::vector<uint8_t>* out,
                             bool* endsWithin = nullptr);

// Writes `head` over the start of an existing file, leaving any bytes after it as they are.
// When `wholeFile` (the file ends within `head`), the file is replaced in one step, so that it
// is wholly old or wholly new whatever happens meanwhile. Where that cannot be done (a folder
// the player may not create files in has no room for the temporary file), or where the file
// goes on past `head`, the bytes are written over the file in place and flushed to disk.
// With `wholeFile`, `head` is at least as long as the file. 1 when written; 0 when the file
// could not be opened for writing (it then stays as it was) or a write failed.
int WriteFileHead(const std::string& path, const std::vector<uint8_t>& head, bool wholeFile);
