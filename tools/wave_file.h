// Sound files as the game stores them: PCM WAVE with the canonical 44-byte header, the first
// 50 bytes in reverse order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The stored bytes of a 16-bit mono sound.
std::string StoredWaveBytes(const std::vector<int16_t>& samples, int sampleRate);

// The host path of a relative name ("menu\arrows.vgz") inside `dir`: backslashes become folders.
std::string PackPath(const std::string& dir, const std::string& relativeName);

// Writes `bytes` to the relative name inside `dir`, creating folders. Returns 0 on failure.
int WritePackFile(const std::string& dir, const std::string& relativeName,
                  const std::string& bytes);
