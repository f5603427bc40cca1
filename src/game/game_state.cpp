#include "game/game_state.h"

#include "common/random.h"
#include "common/settings.h"
#include "game/game_events.h"
#include "game/piece_control.h"

namespace {

constexpr int GARBAGE_DRAW = 15;  // RandomIndex(15): 1..14, of which 1..7 fill the cell
// Garbage never rises into the rows where pieces enter, whatever the setting says.
constexpr int MAX_GARBAGE_ROWS = 16;
static_assert(Highest(&Settings::garbageRows) <= MAX_GARBAGE_ROWS);

void FillGarbageRows(GameState& game, int count) {
    for (int row = LAST_VISIBLE_ROW; row > LAST_VISIBLE_ROW - count; --row) {
        for (int column = FIRST_PLAY_COLUMN; column <= LAST_PLAY_COLUMN; ++column) {
            const std::uint8_t v = game.random->Index(GARBAGE_DRAW);
            game.well[row][column] = v <= PIECE_TYPES ? v : 0;
        }
    }
}

}  // namespace

void ResetGame(GameState& game, const PlaySettings& play, RulesClock& clock) {
    game.play = play;
    for (auto& row : game.well) row.fill(0);
    game.well[FLOOR_ROW].fill(FLOOR_CELL);

    game.currentType = game.random->Index(PIECE_DRAW);
    game.nextType = game.random->Index(PIECE_DRAW);

    game.pieceX = ENTRY_COLUMN;
    game.pieceY = ENTRY_ROW;
    game.lines = 0;
    game.score = 0;
    game.entryAllowed = 1;
    game.entryActive = 0;
    game.entryCursor = 0;
    game.entryRow = NO_ENTRY_ROW;
    game.fallInterval = START_FALL_INTERVAL;
    game.level = play.startLevel;
    const int garbage = play.garbageRows < MAX_GARBAGE_ROWS ? play.garbageRows : MAX_GARBAGE_ROWS;
    FillGarbageRows(game, garbage);

    game.entryName.fill(BLANK_CELL);
    SetCurrentShape(game, game.currentType);
    SetNextShape(game, game.nextType);

    game.lastFallTime = clock.Now();
}
