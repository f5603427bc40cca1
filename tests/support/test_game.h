#pragma once

#include "common/settings.h"
#include "game/game_state.h"
#include "platform/clock.h"
#include "screens/play_screen.h"

// The play screen's game, which the tests around a game look at.
inline GameState& game = ShownGame();

// A new game with the play settings of `settings`, its clock read from the platform (the manual
// clock where a test sets one), for the tests of the screens around a game.
inline void ResetTestGame() {
    struct PlatformClock final : RulesClock {
        std::int64_t Now() override { return NowMs(); }
    } clock;
    ResetGame(game, PlaySettingsOf(settings), clock);
}
