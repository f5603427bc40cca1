#include "music/song_arena.h"

#include <cstdlib>
#include <vector>

namespace {
constexpr std::size_t CHUNK_BYTES = 64 * 1024;
constexpr std::size_t ALIGNMENT = 16;
// Far above the largest song the loader can build from a module of the largest size it
// accepts; a bound so that no input can make the player take all the memory there is.
constexpr std::size_t ARENA_LIMIT = std::size_t{1} << 30;

struct SongArena {
    std::vector<void*> chunks;
    unsigned char* free = nullptr;  // the rest of the last small-block chunk
    std::size_t freeBytes = 0;
    std::size_t inUse = 0;
};
SongArena arena;

void* NewChunk(std::size_t bytes) {
    if (arena.inUse + bytes > ARENA_LIMIT) return nullptr;
    void* chunk = std::calloc(1, bytes);
    if (chunk == nullptr) return nullptr;
    arena.chunks.push_back(chunk);
    arena.inUse += bytes;
    return chunk;
}
}  // namespace

void* ArenaAllocate(std::size_t bytes) {
    if (bytes > ARENA_LIMIT) return nullptr;
    bytes = (bytes + ALIGNMENT - 1) & ~(ALIGNMENT - 1);
    if (bytes == 0) bytes = ALIGNMENT;
    // Large blocks (samples, big patterns) get a chunk of their own.
    if (bytes > CHUNK_BYTES / 4) return NewChunk(bytes);
    if (bytes > arena.freeBytes) {
        void* chunk = NewChunk(CHUNK_BYTES);
        if (chunk == nullptr) return nullptr;
        arena.free = static_cast<unsigned char*>(chunk);
        arena.freeBytes = CHUNK_BYTES;
    }
    void* block = arena.free;
    arena.free += bytes;
    arena.freeBytes -= bytes;
    return block;
}

void ReleaseArena() {
    for (void* chunk : arena.chunks) std::free(chunk);
    arena = SongArena{};
}

std::size_t ArenaBytesInUse() { return arena.inUse; }
