// Files on Windows while other programs hold them: an antivirus or the search indexer opens a
// file the moment it is written and may keep it for a second or more, without delete sharing.
#pragma once

#include "platform/win32/win32_backend.h"

// How long an open or a replacement keeps trying a file that another program holds, and the
// first and the longest pause between tries.
constexpr DWORD kFileRetryMs = 2000;
constexpr DWORD kFileRetryFirstPauseMs = 10;
constexpr DWORD kFileRetryLongestPauseMs = 250;

// The steps of a save that a test may watch, with the file concerned and the error met.
enum class FileStep {
    kTemporaryWritten,  // the new bytes are flushed and closed, not yet in place
    kRetrying,          // an attempt failed with `error`; the pause before the next begins
};
// Called on the saving thread at each step; null in the game.
extern void (*g_fileStepWatch)(FileStep step, const wchar_t* path, DWORD error);
