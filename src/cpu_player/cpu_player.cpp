#include "cpu_player/cpu_player.h"

#include "cpu_player/placement_search.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"

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

bool CpuPlayer::IsNewPiece(const PlayerView& view) const {
    return !planned_ || view.well != plannedWell_ || view.currentType != plannedType_ ||
           view.pieceY < lastY_;
}

ActionRecord CpuPlayer::Actions(const PlayerView& view, const SteerSettings& steer) {
    if (view.currentType < 1 || view.currentType > PIECE_TYPES) return {};
    // What the last frame did, as far as the player knows: its own foresight, corrected by what
    // the screen shows now.
    PieceMotion motion = expected_;
    GameState& seen = motion.game;
    const bool newPiece = IsNewPiece(view);
    seen.fallInterval = START_FALL_INTERVAL;
    seen.level = view.level;
    if (newPiece) {
        // Gravity's timer runs on from the frame that locked the last piece.
        seen.lastFallTime = motion.now;
    } else if (view.pieceY > seen.pieceY) {
        seen.lastFallTime = motion.now;  // it fell sooner than foreseen
    } else if (view.pieceY < seen.pieceY) {
        seen.lastFallTime = motion.now - GravityInterval(seen) + STEER_FRAME_MS;  // later
    }
    seen.well = view.well;
    seen.currentType = view.currentType;
    seen.currentMask = view.currentMask;
    seen.nextType = view.nextType;
    seen.play.moveRepeat = steer.moveRepeat;
    seen.play.rotateRepeat = steer.rotateRepeat;
    motion.turns = TurnsOf(view.currentType, view.currentMask);
    const bool strayed =
        !newPiece && (seen.pieceX != view.pieceX || motion.turns != expected_.turns);
    seen.pieceX = view.pieceX;
    seen.pieceY = view.pieceY;

    if (newPiece || strayed) {
        target_ = ChoosePlacement(motion, view.nextType, steer);
        planned_ = true;
        plannedWell_ = view.well;
        plannedType_ = view.currentType;
    }
    lastY_ = view.pieceY;
    const ActionRecord held = SteerActions(motion, target_, steer);
    ForeseeFrame(motion, held, steer);
    expected_ = motion;
    return held;
}

ActionRecord CpuGamePlayer::NextActions() {
    return cpu_.Actions(ViewOfGame(game_),
                        {game_.play.moveRepeat, game_.play.rotateRepeat, turnReversed_});
}
