// The stored form of the game's sound files and the reader that restores it.
#pragma once

#include <cstdint>

constexpr int kMaxSoundFileBytes = 10000000;  // the largest sound file
constexpr int kScrambledPrefixBytes = 50;     // the first 50 bytes are stored in reverse order
constexpr int kSoundFileHeaderBytes = 44;     // the canonical RIFF/WAVE header

// The last file read, restored; shared by every load.
extern uint8_t g_fileBuffer[kMaxSoundFileBytes];
// Bytes the last successful ReadSoundFile put into g_fileBuffer.
extern int g_fileBufferBytes;

// Reads the file named relative to the program folder ("menu\arrows.vgz") into g_fileBuffer and
// restores it. 1 on success, 0 when it cannot be opened, is empty, or its header is not the
// canonical one or claims more data than was read.
int ReadSoundFile(const char* relativeName);
