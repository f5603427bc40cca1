#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

// The memory of one song: every block comes zero-filled from here and all of it is released
// at once when the song goes.

// Null when the arena cannot grow any further (a song larger than any real module).
void* ArenaAllocate(std::size_t bytes);
void ReleaseArena();
std::size_t ArenaBytesInUse();

// count zero-initialised objects of a type that needs no destructor; null on failure.
template <typename T>
T* ArenaAllocateArray(std::size_t count) {
    static_assert(std::is_trivially_destructible_v<T>);
    if (count > SIZE_MAX / sizeof(T)) return nullptr;
    void* memory = ArenaAllocate(count * sizeof(T));
    if (memory == nullptr) return nullptr;
    T* items = static_cast<T*>(memory);
    for (std::size_t i = 0; i < count; ++i) new (&items[i]) T{};
    return items;
}
