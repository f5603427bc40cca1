#include "game/piece_control.h"

#include "common/random.h"
#include "game/game_events.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"

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

bool MaskColumnEmpty(const PieceMask& mask, int column) {
    for (int r = 0; r < MASK_SIZE; ++r) {
        if (mask[r][column] != 0) return false;
    }
    return true;
}

void TurnAct(GameState& game, std::uint8_t counterClockwise) {
    if (TurnIsFree(game.well, game.currentType, game.pieceX, game.pieceY))
        RotatePiece(game, game.currentType, counterClockwise);
}

void HardDropKey(GameState& game, HeldKeys& keys, ActionRecord actions, RulesClock& clock) {
    if (!actions.Held(PlayAction::HardDrop)) {
        keys.dropLatch = 0;
        return;
    }
    if (keys.dropLatch) return;
    HardDrop(game, clock);
    keys.dropLatch = 1;
}

}  // namespace

bool StepKeyRepeat(KeyRepeat& repeat, bool held, std::uint8_t frames) {
    const bool acts = held && repeat.ready;
    if (acts) {
        repeat.ready = 0;
        repeat.counter = 1;
        if (repeat.counter >= frames) repeat.ready = 1;
    } else if (!repeat.ready) {
        ++repeat.counter;
        if (repeat.counter >= frames) repeat.ready = 1;
    }
    return acts;
}

bool ShiftIsFree(const Well& well, const PieceMask& mask, int x, int y, int dx) {
    const bool inside =
        dx < 0 ? x > LEFT_FREE_COLUMN || (x == LEFT_FREE_COLUMN && MaskColumnEmpty(mask, 0)) ||
                     (x == LEFT_FREE_COLUMN - 1 && MaskColumnEmpty(mask, 0) &&
                      MaskColumnEmpty(mask, 1))
               : x < RIGHT_FREE_COLUMN || (x == RIGHT_FREE_COLUMN && MaskColumnEmpty(mask, 3)) ||
                     (x == RIGHT_FREE_COLUMN + 1 && MaskColumnEmpty(mask, 2) &&
                      MaskColumnEmpty(mask, 3));
    if (!inside) return false;
    bool free = true;
    ForEachBlock(mask,
                 [&](int r, int c, std::uint8_t) { free = free && well[y + r][x + c + dx] == 0; });
    return free;
}

bool TurningBlockIsEmpty(const Well& well, std::uint8_t type, int x, int y) {
    const int size = TurningBlockSize(type);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            if (well[y + r][x + c] != 0) return false;
        }
    }
    return true;
}

bool TurnIsFree(const Well& well, std::uint8_t type, int x, int y) {
    if (type < 1 || type > PIECE_TYPES || type == SQUARE_PIECE) return false;
    const int lastColumn = type == BAR_PIECE ? LAST_BAR_TURN_COLUMN : LAST_TURN_COLUMN;
    if (x < FIRST_TURN_COLUMN || x > lastColumn) return false;
    return TurningBlockIsEmpty(well, type, x, y);
}

void HandleGameKeys(GameState& game, HeldKeys& keys, const FrameInput& frame, RulesClock& clock) {
    const ActionRecord actions = frame.actions;
    const PlaySettings& play = game.play;
    KeyRepeats& repeats = keys.repeats;
    const std::uint8_t reversed = frame.turnReversed ? 1 : 0;
    if (StepKeyRepeat(repeats.turn, actions.Held(PlayAction::Turn), play.rotateRepeat))
        TurnAct(game, reversed);
    if (StepKeyRepeat(repeats.turnOther, actions.Held(PlayAction::TurnOther), play.rotateRepeat))
        TurnAct(game, reversed ? 0 : 1);
    if (StepKeyRepeat(repeats.shiftLeft, actions.Held(PlayAction::ShiftLeft), play.moveRepeat))
        MoveLeft(game, actions);
    if (StepKeyRepeat(repeats.shiftRight, actions.Held(PlayAction::ShiftRight), play.moveRepeat))
        MoveRight(game, actions);
    if (StepKeyRepeat(repeats.softDrop, actions.Held(PlayAction::SoftDrop), play.dropRepeat))
        SoftDrop(game, clock);
    HardDropKey(game, keys, actions, clock);
    // Escape abandons the game: no high-score entry.
    if (actions.Held(PlayAction::Abandon)) RecordGameEvent(game, GameEventKind::Abandoned);
}

void RotatePiece(GameState& game, std::uint8_t type, std::uint8_t counterClockwise) {
    if (type == SQUARE_PIECE) return;
    // The whole turning block must be empty, not only the cells the turned piece would take.
    if (!TurningBlockIsEmpty(game.well, type, game.pieceX, game.pieceY)) return;
    if (counterClockwise) {
        TurnCounterClockwise(game.currentMask, type);
    } else {
        TurnClockwise(game.currentMask, type);
    }
    RecordGameEvent(game, GameEventKind::Turned);
}

void MoveLeft(GameState& game, ActionRecord actions) {
    if (!actions.Held(PlayAction::ShiftLeft)) return;
    if (ShiftIsFree(game.well, game.currentMask, game.pieceX, game.pieceY, -1)) --game.pieceX;
}

void MoveRight(GameState& game, ActionRecord actions) {
    if (!actions.Held(PlayAction::ShiftRight)) return;
    if (ShiftIsFree(game.well, game.currentMask, game.pieceX, game.pieceY, 1)) ++game.pieceX;
}

void SoftDrop(GameState& game, RulesClock& clock) {
    if (game.pieceY >= LAST_BOX_ROW || IsBlockedBelow(game)) return;
    ++game.pieceY;
    game.score += SOFT_DROP_POINTS;
    game.lastFallTime = clock.Now();
}

void HardDrop(GameState& game, RulesClock& clock) {
    const int distance = DropDistance(game.well, game.currentMask, game.pieceX, game.pieceY);
    if (distance == NO_DROP) return;
    game.pieceY = static_cast<std::uint8_t>(game.pieceY + distance);
    game.score += HARD_DROP_POINTS_PER_ROW * static_cast<std::uint32_t>(distance);
    game.lastFallTime = clock.Now();
}

bool LocksNow(GameState& game, const HeldKeys& keys, ActionRecord actions) {
    if (!IsBlockedBelow(game)) return false;
    if (keys.dropLatch) return true;
    for (int step = 0; step < SLIDE_STEPS; ++step) {
        MoveLeft(game, actions);
        MoveRight(game, actions);
    }
    return IsBlockedBelow(game);
}

bool JoinWell(GameState& game) {
    StampPiece(game);
    RecordGameEvent(game, GameEventKind::Locked);
    for (const int column : ENTRY_CHECK_COLUMNS) {
        if (game.well[ENTRY_CHECK_ROW][column] != 0) return false;
    }
    return true;
}

void EnterPiece(GameState& game, std::uint8_t type) {
    game.currentType = type;
    SetCurrentShape(game, type);
    game.pieceX = ENTRY_COLUMN;
    game.pieceY = ENTRY_ROW;
}

LockResult TryLockPiece(GameState& game, const HeldKeys& keys, ActionRecord actions) {
    if (!LocksNow(game, keys, actions)) return LockResult::Falling;
    if (!JoinWell(game)) {
        RecordGameEvent(game, GameEventKind::GameOver);
        return LockResult::GameOver;
    }
    const std::uint8_t entering = game.nextType;
    game.nextType = game.random->Index(PIECE_DRAW);
    SetNextShape(game, game.nextType);
    EnterPiece(game, entering);

    const int removed = ClearFullRows(game);
    game.score += LineScore(game, removed);
    if (removed > 0)
        RecordGameEvent(game, GameEventKind::RowsRemoved, static_cast<std::uint8_t>(removed));
    return LockResult::Locked;
}
