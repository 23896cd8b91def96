// Program folders for tests: a scratch folder holding a pack of sound files of known lengths.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

// A fresh empty folder under the system's temporary folder, with a trailing '/'.
std::string MakeScratchDir();

// Writes one sound file in the stored form: PCM, 8-bit mono at 1000 samples a second, so a
// sound of n milliseconds has n data bytes (tone content; only the length matters to tests).
void WriteTestSound(const std::string& path, int lengthMs);

// Writes every file of the catalogue into `dir` (relative names with backslashes, folders
// created as the host needs them). lengthMs gives each file's length; without it every file
// lasts 1000 ms.
void WriteTestPack(const std::string& dir, std::function<int(const std::string&)> lengthMs = {});

// Removes a file of the pack (to make a load fail).
void RemovePackFile(const std::string& dir, const std::string& relativeName);

// A name in UTF-8, as the game's own, as a path: on Windows only a wide path reaches every folder.
std::filesystem::path Utf8Path(const std::string& path);

// Writes bytes to a file, creating it and its folders; names in UTF-8.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
