#include "platform/sound/sample_memory.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/platform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif
// Under AddressSanitizer, memory outside the pieces handed out is marked unreadable, as the heap's
// would be; elsewhere the marks do nothing.
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace {

constexpr size_t kLargePageBytes = kPlatformLargePageBytes;
constexpr size_t kAlignment = 64;

struct Piece {
    size_t offset;
    size_t bytes;
};

// A run of large pages. Pieces are handed out from its end, in order; when the last pieces are
// given back, their room is handed out again. Room below a piece still in use waits until every
// piece after it has gone.
struct Chunk {
    uint8_t* base;
    size_t bytes;
    size_t touched;           // below this, memory may hold old samples
    std::vector<Piece> live;  // in order of offset
};

std::vector<Chunk> s_chunks;

size_t RoundUp(size_t value, size_t step) {
    return (value + step - 1) / step * step;
}

size_t EndOfLive(const Chunk& chunk) {
    return chunk.live.empty() ? 0 : chunk.live.back().offset + chunk.live.back().bytes;
}

// Zero-filled memory of `bytes` (a multiple of the large page), aligned to a large page when the
// system allows; null when there is none.
uint8_t* MapChunk(size_t bytes) {
#ifdef _WIN32
    return static_cast<uint8_t*>(
        VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
#else
    // Map one large page more than needed and trim both ends to the alignment.
    void* mapped = mmap(nullptr, bytes + kLargePageBytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = RoundUp(start, kLargePageBytes);
    if (aligned > start) munmap(mapped, aligned - start);
    const size_t after = start + bytes + kLargePageBytes - (aligned + bytes);
    if (after > 0) munmap(reinterpret_cast<void*>(aligned + bytes), after);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);  // only advice: may be refused
#endif
    return reinterpret_cast<uint8_t*>(aligned);
#endif
}

}  // namespace

uint8_t* SampleMemoryAllocate(size_t bytes) {
    const size_t wanted = RoundUp(std::max<size_t>(bytes, 1), kAlignment);
    Chunk* chunk = nullptr;
    for (Chunk& candidate : s_chunks) {
        if (candidate.bytes - EndOfLive(candidate) >= wanted) {
            chunk = &candidate;
            break;
        }
    }
    if (!chunk) {
        const size_t chunkBytes = RoundUp(wanted, kLargePageBytes);
        uint8_t* base = MapChunk(chunkBytes);
        if (!base) return nullptr;
        ASAN_POISON_MEMORY_REGION(base, chunkBytes);
        s_chunks.push_back({base, chunkBytes, 0, {}});
        chunk = &s_chunks.back();
    }
    const size_t offset = EndOfLive(*chunk);
    chunk->live.push_back({offset, wanted});
    uint8_t* memory = chunk->base + offset;
    ASAN_UNPOISON_MEMORY_REGION(memory, bytes);
    // Fresh memory comes zero-filled from the system; room used before is cleared.
    if (offset < chunk->touched) std::memset(memory, 0, std::min(bytes, chunk->touched - offset));
    chunk->touched = std::max(chunk->touched, offset + wanted);
    return memory;
}

void SampleMemoryFree(uint8_t* memory) {
    if (!memory) return;
    for (Chunk& chunk : s_chunks) {
        if (memory < chunk.base || memory >= chunk.base + chunk.bytes) continue;
        const size_t offset = static_cast<size_t>(memory - chunk.base);
        auto piece = std::find_if(chunk.live.begin(), chunk.live.end(),
                                  [offset](const Piece& p) { return p.offset == offset; });
        if (piece == chunk.live.end()) return;
        ASAN_POISON_MEMORY_REGION(memory, piece->bytes);
        chunk.live.erase(piece);
        return;
    }
}

SampleMemoryUse SampleMemoryInUse() {
    SampleMemoryUse use{s_chunks.size(), 0, 0};
    for (const Chunk& chunk : s_chunks) {
        use.mappedBytes += chunk.bytes;
        for (const Piece& piece : chunk.live) use.liveBytes += piece.bytes;
    }
    return use;
}

void PlatformAdviseLargePages(void* memory, size_t bytes) {
#if defined(MADV_HUGEPAGE)
    // Only whole large pages inside the range can be backed by them.
    const uintptr_t start = RoundUp(reinterpret_cast<uintptr_t>(memory), kLargePageBytes);
    const uintptr_t end =
        (reinterpret_cast<uintptr_t>(memory) + bytes) / kLargePageBytes * kLargePageBytes;
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)bytes;
#endif
}
