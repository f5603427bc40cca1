#pragma once

#include <cstdint>

#include "common/play_actions.h"

// The player's actions in play. Each frame the screen layer reads the keyboard and the
// controllers into one ActionRecord (screens/action_bindings.h); the rules read only that
// record, so a record written by a test or read back from a log plays the same.

// What the player holds in one frame: one byte, bit i set while action i is held.
struct ActionRecord {
    std::uint8_t held = 0;

    constexpr bool Held(PlayAction action) const { return (held & Bit(action)) != 0; }
    constexpr void Set(PlayAction action, bool down) {
        held = static_cast<std::uint8_t>(down ? held | Bit(action) : held & ~Bit(action));
    }

    static constexpr unsigned Bit(PlayAction action) { return 1u << static_cast<unsigned>(action); }
};
static_assert(PLAY_ACTION_COUNT <= 8 && sizeof(ActionRecord) == 1);
