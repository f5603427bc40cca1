#include "music/module_source.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "music/player.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace {
struct ModuleSource {
    const std::uint8_t* base = nullptr;  // the bytes of a memory or resource source
    std::uint32_t size = 0;
    std::int64_t position = 0;
    PositionedFile file;
    std::int64_t cacheBase = -1;  // file offset of the cached block; -1 when none
    std::uint8_t cache[MODULE_CACHE_BYTES];
};
ModuleSource moduleSource;

void ReadFileAt(std::int64_t offset, std::uint8_t* dest, std::int64_t count) {
    moduleSource.file.ReadAt(static_cast<std::uint64_t>(offset), dest,
                             static_cast<std::size_t>(count));
}

// The file read: whole cache blocks' worth goes straight into dest, the rest through the
// cache, so the loader's one-byte reads cost no system call each.
void ReadThroughCache(std::uint8_t* dest, std::int64_t position, std::int64_t count) {
    constexpr std::int64_t BLOCK = MODULE_CACHE_BYTES;
    while (count > 0) {
        if (moduleSource.cacheBase >= 0 && position >= moduleSource.cacheBase &&
            position < moduleSource.cacheBase + BLOCK) {
            const std::int64_t n = std::min(count, moduleSource.cacheBase + BLOCK - position);
            std::memcpy(dest, moduleSource.cache + (position - moduleSource.cacheBase),
                        static_cast<std::size_t>(n));
            position += n;
            dest += n;
            count -= n;
            if (count == 0) return;
        }
        const std::int64_t direct = ((position + count) & ~(BLOCK - 1)) - position;
        if (direct > 0) {
            ReadFileAt(position, dest, direct);
            position += direct;
            dest += direct;
            count -= direct;
        }
        moduleSource.cacheBase = position & ~(BLOCK - 1);
        std::memset(moduleSource.cache, 0, sizeof moduleSource.cache);
        ReadFileAt(moduleSource.cacheBase, moduleSource.cache,
                   std::min<std::int64_t>(BLOCK, moduleSource.size - moduleSource.cacheBase));
    }
}

bool OpenFile(const char* path) {
    if (!moduleSource.file.Open(path)) return false;
    moduleSource.size = moduleSource.file.Size();
    return true;
}
}  // namespace

bool OpenModuleSource(const void* source, std::size_t second, std::uint32_t flags) {
    CloseModuleSource();
    if (source == nullptr) return false;
    if (flags & MUSIC_FROM_MEMORY) {
        if (second > 0xFFFFFFFFu) return false;
        moduleSource.base = static_cast<const std::uint8_t*>(source);
        moduleSource.size = static_cast<std::uint32_t>(second);
        return true;
    }
    if (flags & MUSIC_FROM_FILE) return OpenFile(static_cast<const char*>(source));
    const auto id = reinterpret_cast<std::uintptr_t>(source);
    if (id > 0xFFFF) return false;
    const std::span<const std::uint8_t> bytes = FindResource("RCDATA", static_cast<int>(id));
    if (bytes.empty()) return false;
    moduleSource.base = bytes.data();
    moduleSource.size = static_cast<std::uint32_t>(bytes.size());
    return true;
}

void CloseModuleSource() {
    moduleSource.file.Close();
    moduleSource.base = nullptr;
    moduleSource.size = 0;
    moduleSource.position = 0;
    moduleSource.cacheBase = -1;
}

std::uint32_t ReadModule(void* dest, std::uint32_t count) {
    const std::uint32_t n = std::min(count, ModuleBytesLeft());
    if (n > 0) {
        auto* to = static_cast<std::uint8_t*>(dest);
        if (moduleSource.file.IsOpen()) {
            ReadThroughCache(to, moduleSource.position, n);
        } else {
            std::memcpy(to, moduleSource.base + moduleSource.position, n);
        }
    }
    moduleSource.position += count;
    return n;
}

void SeekModule(std::int64_t target, bool relative) {
    if (relative) target += moduleSource.position;
    if (target < 0 || target > moduleSource.size) return;
    moduleSource.position = target;
}

std::int64_t ModulePosition() { return moduleSource.position; }
std::uint32_t ModuleSize() { return moduleSource.size; }

std::uint32_t ModuleBytesLeft() {
    const std::int64_t left = moduleSource.size - moduleSource.position;
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}
