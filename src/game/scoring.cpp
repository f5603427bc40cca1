#include "game/scoring.h"

#include "app/settings.h"
#include "game/game_state.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "sound/sound.h"

namespace {

constexpr std::int64_t LEVEL_SPEED_UP = 100;  // ms off the gravity interval per level
constexpr std::uint32_t GRAVITY_POINTS = 1;
// Base points for 1, 2, 3 and 4 rows removed by one landing.
constexpr std::uint32_t LINE_POINTS[] = {200, 500, 800, 2000};
constexpr int MAX_SCORED_ROWS = 4;

constexpr int LINES_PER_LEVEL = 10;
constexpr int LAST_LEVEL_UP_LINES = 110;
// From 20 to 90 lines each level-up fades to its own picture; at 10 the one named at game start
// comes in, and at 100 and 110 the picture the previous fade left behind.
constexpr int FIRST_NAMED_BACKGROUND_LINES = 20;
constexpr int LAST_NAMED_BACKGROUND_LINES = 90;

}  // namespace

std::int64_t GravityInterval() {
    return static_cast<std::int64_t>(game.fallInterval) - LEVEL_SPEED_UP * (game.level - 1);
}

void ApplyGravity() {
    const std::int64_t now = NowMs();
    if (now - game.lastFallTime < GravityInterval()) return;
    game.lastFallTime = now;
    if (game.pieceY < LAST_BOX_ROW && !IsBlockedBelow()) {
        ++game.pieceY;
        game.score += GRAVITY_POINTS;
    }
}

std::uint32_t LineScore(int rows) {
    if (rows < 1 || rows > MAX_SCORED_ROWS) return 0;
    return (LINE_POINTS[rows - 1] + settings.garbageRows) * game.level;
}

void ApplyLevelUp() {
    const int lines = game.lines;
    if (lines == 0 || lines % LINES_PER_LEVEL != 0 || lines > LAST_LEVEL_UP_LINES) return;
    if (lines >= FIRST_NAMED_BACKGROUND_LINES && lines <= LAST_NAMED_BACKGROUND_LINES) {
        NextBackground = LevelBackground[lines / LINES_PER_LEVEL];
    }
    ++game.level;
    FadeActive = 1;
    PlayEffect(SoundId::LevelUp);
}
