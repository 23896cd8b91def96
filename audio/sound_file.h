// The stored form of the game's sound files and the reader that restores it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The stored form, and the offsets of the canonical RIFF/WAVE header that the loader uses. The
// tools that write sound files take these too.
constexpr int kMaxSoundFileBytes = 10000000;    // the largest sound file
constexpr int kScrambledPrefixBytes = 50;       // the first 50 bytes are stored in reverse order
constexpr int kSoundFileHeaderBytes = 44;       // the canonical header; the samples follow it
constexpr int kSoundFileFormatTagOffset = 12;   // "fmt "
constexpr int kSoundFileFormatSizeOffset = 16;  // the format chunk's size, unsigned 32-bit
constexpr int kSoundFileFormatChunkBytes = 16;  // the PCM format chunk, after its tag and size
constexpr int kSoundFileFormatOffset = 20;      // the wave format handed to the platform
constexpr int kSoundFileDataTagOffset = 36;     // "data"
constexpr int kSoundFileDataLengthOffset = 40;  // the data length in bytes, unsigned 32-bit

// The last file read, restored; shared by every load.
extern uint8_t g_fileBuffer[kMaxSoundFileBytes];
// Bytes the last successful ReadSoundFile put into g_fileBuffer.
extern int g_fileBufferBytes;

// Reads the file named relative to the program folder ("menu\arrows.vgz") into g_fileBuffer and
// restores it. 1 on success, 0 when it cannot be opened, is empty, or its header is not the
// canonical one or claims more data than was read.
int ReadSoundFile(const char* relativeName);

// The wave format and the data length in the header of the file last read by ReadSoundFile.
PlatformWaveFormat SoundFileFormat();
uint32_t SoundFileDataBytes();
