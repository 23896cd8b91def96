// Memory for the samples of sound buffers. A process's first touch of a new page costs several
// microseconds on the machines the game runs on, and the fifty start-up sounds span a thousand
// pages or more; so buffers are carved out of large chunks that the system may back with large
// pages (one touch per 2 MB), and the room of released buffers is used again instead of being
// handed back. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>

// `bytes` of zero-filled memory, aligned for any sample type; null when there is none.
uint8_t* SampleMemoryAllocate(size_t bytes);
// Gives back memory from SampleMemoryAllocate; null is ignored.
void SampleMemoryFree(uint8_t* memory);

// What the chunks hold, for tests and benchmarks.
struct SampleMemoryUse {
    size_t chunks;       // chunks mapped
    size_t mappedBytes;  // their total size
    size_t liveBytes;    // handed out and not given back (rounded up as handed out)
};
SampleMemoryUse SampleMemoryInUse();
