#include "cpu_player/cpu_player.h"

#include "cpu_player/placement_search.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"

CpuPlayer cpuPlayer;

namespace {

constexpr int QUARTER_TURNS = 4;

// The clockwise quarter turns that take the entering mask to the one seen.
int TurnsOf(std::uint8_t type, const PieceMask& mask) {
    PieceMask turned = ENTERING_MASKS[type - 1];
    for (int turns = 0; turns < QUARTER_TURNS; ++turns) {
        if (turned == mask) return turns;
        TurnClockwise(turned, type);
    }
    return 0;
}

bool IsNewPiece(const PlayerView& view) {
    return !cpuPlayer.planned || view.well != cpuPlayer.plannedWell ||
           view.currentType != cpuPlayer.plannedType || view.pieceY < cpuPlayer.lastY;
}

}  // namespace

PlayerView ViewOfGame(const GameState& game) {
    PlayerView view;
    view.well = game.well;
    view.currentType = game.currentType;
    view.currentMask = game.currentMask;
    view.pieceX = game.pieceX;
    view.pieceY = game.pieceY;
    view.nextType = game.nextType;
    view.level = game.level;
    return view;
}

void ResetCpuPlayer() { cpuPlayer = CpuPlayer{}; }

ActionRecord CpuPlayerActions(const PlayerView& view, const SteerSettings& steer) {
    if (view.currentType < 1 || view.currentType > PIECE_TYPES) return {};
    // What the last frame did, as far as the player knows: its own foresight, corrected by what
    // the screen shows now.
    PieceMotion motion = cpuPlayer.expected;
    const bool newPiece = IsNewPiece(view);
    motion.gravityInterval = GravityInterval(START_FALL_INTERVAL, view.level);
    if (newPiece) {
        // Gravity's timer runs on from the frame that locked the last piece.
        motion.lastFallTime = motion.now;
    } else if (view.pieceY > motion.y) {
        motion.lastFallTime = motion.now;  // it fell sooner than foreseen
    } else if (view.pieceY < motion.y) {
        motion.lastFallTime = motion.now - motion.gravityInterval + STEER_FRAME_MS;  // later
    }
    motion.type = view.currentType;
    motion.mask = view.currentMask;
    motion.turns = TurnsOf(view.currentType, view.currentMask);
    const bool strayed =
        !newPiece && (motion.x != view.pieceX || motion.turns != cpuPlayer.expected.turns);
    motion.x = view.pieceX;
    motion.y = view.pieceY;

    if (newPiece || strayed) {
        cpuPlayer.target = ChoosePlacement(view.well, motion, view.nextType, steer);
        cpuPlayer.planned = true;
        cpuPlayer.plannedWell = view.well;
        cpuPlayer.plannedType = view.currentType;
    }
    cpuPlayer.lastY = view.pieceY;
    const ActionRecord held = SteerActions(view.well, motion, cpuPlayer.target, steer);
    ForeseeFrame(view.well, motion, held, steer);
    cpuPlayer.expected = motion;
    return held;
}

ActionRecord CpuGamePlayer::NextActions() {
    return CpuPlayerActions(ViewOfGame(game_),
                            {game_.play.moveRepeat, game_.play.rotateRepeat, turnReversed_});
}
