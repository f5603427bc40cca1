#include "replays/game_record.h"

#include <array>

#include "common/hash.h"
#include "game/game_state.h"
#include "game/piece_control.h"

namespace {
std::array<KeyRepeat*, REPLAY_REPEAT_BYTES / 2> CarriedRepeats() {
    KeyRepeats& r = game.keyRepeats;
    return {&r.turn, &r.turnOther, &r.shiftLeft, &r.shiftRight, &r.softDrop};
}
}  // namespace

void TakeCarriedState(ReplayStart& start) {
    int i = 0;
    for (const KeyRepeat* repeat : CarriedRepeats()) {
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->ready;
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->counter;
    }
    start.dropLatch = game.dropLatch;
}

void PutCarriedState(const ReplayStart& start) {
    int i = 0;
    for (KeyRepeat* repeat : CarriedRepeats()) {
        repeat->ready = start.keyRepeats[static_cast<std::size_t>(i++)];
        repeat->counter = start.keyRepeats[static_cast<std::size_t>(i++)];
    }
    game.dropLatch = start.dropLatch;
}

std::uint64_t WellHash() { return Fnv1a64({&game.well[0][0], sizeof game.well}); }

ReplayResult CurrentResult(GameEnding ending) {
    return {ending, game.score, game.lines, game.level, WellHash()};
}
