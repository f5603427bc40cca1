#include "game/piece_control.h"

#include "common/random.h"
#include "game/game_events.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"

KeyRepeats keyRepeats;

namespace {

constexpr std::uint32_t SOFT_DROP_POINTS = 10;
constexpr std::uint32_t HARD_DROP_POINTS_PER_ROW = 11;
constexpr int SLIDE_STEPS = 5;
constexpr int ENTRY_CHECK_ROW = 1;
constexpr int ENTRY_CHECK_COLUMNS[] = {6, 7};

// The turn keeps the turning block inside the playable columns: types 1..6 turn with the box at
// columns 2..9, the bar at 2..8.
constexpr std::uint8_t FIRST_TURN_COLUMN = 2;
constexpr std::uint8_t LAST_TURN_COLUMN = 9;
constexpr std::uint8_t LAST_BAR_TURN_COLUMN = 8;

// Leftmost and rightmost box columns from which a shift can still keep every block inside the
// playable columns, by how many of the box's outer columns are empty.
constexpr std::uint8_t LEFT_FREE_COLUMN = 2;
constexpr std::uint8_t RIGHT_FREE_COLUMN = 8;

template <typename Act>
void Repeat(KeyRepeat& repeat, bool held, std::uint8_t frames, Act act) {
    if (held && repeat.ready) {
        act();
        repeat.ready = 0;
        repeat.counter = 1;
        if (repeat.counter >= frames) repeat.ready = 1;
    } else if (!repeat.ready) {
        ++repeat.counter;
        if (repeat.counter >= frames) repeat.ready = 1;
    }
}

void TurnAct(std::uint8_t counterClockwise) {
    const std::uint8_t type = game.currentType;
    const std::uint8_t lastColumn = type == BAR_PIECE ? LAST_BAR_TURN_COLUMN : LAST_TURN_COLUMN;
    if (type < 1 || type > PIECE_TYPES) return;
    if (game.pieceX < FIRST_TURN_COLUMN || game.pieceX > lastColumn) return;
    RotatePiece(type, counterClockwise);
}

bool MaskColumnEmpty(int column) {
    for (int r = 0; r < MASK_SIZE; ++r) {
        if (game.currentMask[r][column] != 0) return false;
    }
    return true;
}

// Every block finds its well cell empty once the box is moved by dx columns.
bool ShiftIsFree(int dx) {
    bool free = true;
    ForEachBlock(game.currentMask, [&](int r, int c, std::uint8_t) {
        free = free && game.well[game.pieceY + r][game.pieceX + c + dx] == 0;
    });
    return free;
}

void HardDropKey(ActionRecord actions, RulesClock& clock) {
    if (!actions.Held(PlayAction::HardDrop)) {
        game.dropLatch = 0;
        return;
    }
    if (game.dropLatch) return;
    HardDrop(clock);
    game.dropLatch = 1;
}

}  // namespace

void HandleGameKeys(const FrameInput& frame, RulesClock& clock) {
    const ActionRecord actions = frame.actions;
    const PlaySettings& play = game.play;
    const std::uint8_t reversed = frame.turnReversed ? 1 : 0;
    Repeat(keyRepeats.turn, actions.Held(PlayAction::Turn), play.rotateRepeat,
           [&] { TurnAct(reversed); });
    Repeat(keyRepeats.turnOther, actions.Held(PlayAction::TurnOther), play.rotateRepeat,
           [&] { TurnAct(reversed ? 0 : 1); });
    Repeat(keyRepeats.shiftLeft, actions.Held(PlayAction::ShiftLeft), play.moveRepeat,
           [&] { MoveLeft(actions); });
    Repeat(keyRepeats.shiftRight, actions.Held(PlayAction::ShiftRight), play.moveRepeat,
           [&] { MoveRight(actions); });
    Repeat(keyRepeats.softDrop, actions.Held(PlayAction::SoftDrop), play.dropRepeat,
           [&] { SoftDrop(clock); });
    HardDropKey(actions, clock);
    // Escape abandons the game: no high-score entry.
    if (actions.Held(PlayAction::Abandon)) RecordGameEvent(GameEventKind::Abandoned);
}

void RotatePiece(std::uint8_t type, std::uint8_t counterClockwise) {
    if (type == SQUARE_PIECE) return;
    // The whole turning block must be empty, not only the cells the turned piece would take.
    const int size = TurningBlockSize(type);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            if (game.well[game.pieceY + r][game.pieceX + c] != 0) return;
        }
    }
    if (counterClockwise) {
        TurnCounterClockwise(game.currentMask, type);
    } else {
        TurnClockwise(game.currentMask, type);
    }
    RecordGameEvent(GameEventKind::Turned);
}

void MoveLeft(ActionRecord actions) {
    if (!actions.Held(PlayAction::ShiftLeft)) return;
    const std::uint8_t x = game.pieceX;
    const bool inside = x > LEFT_FREE_COLUMN || (x == LEFT_FREE_COLUMN && MaskColumnEmpty(0)) ||
                        (x == LEFT_FREE_COLUMN - 1 && MaskColumnEmpty(0) && MaskColumnEmpty(1));
    if (inside && ShiftIsFree(-1)) --game.pieceX;
}

void MoveRight(ActionRecord actions) {
    if (!actions.Held(PlayAction::ShiftRight)) return;
    const std::uint8_t x = game.pieceX;
    const bool inside = x < RIGHT_FREE_COLUMN || (x == RIGHT_FREE_COLUMN && MaskColumnEmpty(3)) ||
                        (x == RIGHT_FREE_COLUMN + 1 && MaskColumnEmpty(2) && MaskColumnEmpty(3));
    if (inside && ShiftIsFree(1)) ++game.pieceX;
}

void SoftDrop(RulesClock& clock) {
    if (game.pieceY >= LAST_BOX_ROW || IsBlockedBelow()) return;
    ++game.pieceY;
    game.score += SOFT_DROP_POINTS;
    game.lastFallTime = clock.Now();
}

void HardDrop(RulesClock& clock) {
    const int distance = DropDistance(game.well, game.currentMask, game.pieceX, game.pieceY);
    if (distance == NO_DROP) return;
    game.pieceY = static_cast<std::uint8_t>(game.pieceY + distance);
    game.score += HARD_DROP_POINTS_PER_ROW * static_cast<std::uint32_t>(distance);
    game.lastFallTime = clock.Now();
}

LockResult TryLockPiece(ActionRecord actions) {
    if (!IsBlockedBelow()) return LockResult::Falling;
    if (!game.dropLatch) {
        for (int step = 0; step < SLIDE_STEPS; ++step) {
            MoveLeft(actions);
            MoveRight(actions);
        }
        if (!IsBlockedBelow()) return LockResult::Falling;
    }

    StampPiece();
    RecordGameEvent(GameEventKind::Locked);
    for (const int column : ENTRY_CHECK_COLUMNS) {
        if (game.well[ENTRY_CHECK_ROW][column] != 0) {
            RecordGameEvent(GameEventKind::GameOver);
            return LockResult::GameOver;
        }
    }

    game.currentType = game.nextType;
    game.nextType = RandomIndex(PIECE_DRAW);
    SetCurrentShape(game.currentType);
    SetNextShape(game.nextType);
    game.pieceX = ENTRY_COLUMN;
    game.pieceY = ENTRY_ROW;

    const int removed = ClearFullRows();
    game.score += LineScore(removed);
    if (removed > 0)
        RecordGameEvent(GameEventKind::RowsRemoved, static_cast<std::uint8_t>(removed));
    return LockResult::Locked;
}
