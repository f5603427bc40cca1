#include "replays/game_record.h"

#include <array>
#include <type_traits>

#include "common/hash.h"
#include "game/game_state.h"
#include "game/piece_control.h"

namespace {
// The repeats in the order a replay's start keeps them; const with const keys.
template <class Keys,
          class Repeat = std::conditional_t<std::is_const_v<Keys>, const KeyRepeat, KeyRepeat>>
std::array<Repeat*, REPLAY_REPEAT_BYTES / 2> CarriedRepeats(Keys& keys) {
    auto& r = keys.repeats;
    return {&r.turn, &r.turnOther, &r.shiftLeft, &r.shiftRight, &r.softDrop};
}
}  // namespace

void TakeCarriedState(ReplayStart& start, const HeldKeys& keys) {
    int i = 0;
    for (const KeyRepeat* repeat : CarriedRepeats(keys)) {
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->ready;
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->counter;
    }
    start.dropLatch = keys.dropLatch;
}

void PutCarriedState(const ReplayStart& start, HeldKeys& keys) {
    int i = 0;
    for (KeyRepeat* repeat : CarriedRepeats(keys)) {
        repeat->ready = start.keyRepeats[static_cast<std::size_t>(i++)];
        repeat->counter = start.keyRepeats[static_cast<std::size_t>(i++)];
    }
    keys.dropLatch = start.dropLatch;
}

std::uint64_t WellHash(const GameState& game) {
    return Fnv1a64({&game.well[0][0], sizeof game.well});
}

ReplayResult CurrentResult(const GameState& game, GameEnding ending) {
    return {ending, game.score, game.lines, game.level, WellHash(game)};
}
