#include "cpu_player/steering.h"

#include "game/game_events.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"
#include "game/rules_frame.h"

namespace {

constexpr int QUARTER_TURNS = 4;

// The rules' clock of a foreseen frame, as the player reckons it.
class ReckonedClock final : public RulesClock {
public:
    explicit ReckonedClock(std::int64_t now) : now_(now) {}
    std::int64_t Now() override { return now_; }

private:
    std::int64_t now_;
};

bool TurnsClockwise(PlayAction action, const SteerSettings& steer) {
    return (action == PlayAction::Turn) == (steer.rotateReversed == 0);
}

// The keys' part of a frame, as the rules run it. The player holds one turn action at most, so a
// turn the rules made went that action's way.
void ForeseeKeys(PieceMotion& m, ActionRecord held, const SteerSettings& steer) {
    ClearGameEvents(m.game);
    ReckonedClock clock(m.now);
    HandleGameKeys(m.game, m.keys, FrameInput{held, steer.rotateReversed != 0}, clock);
    if (!Happened(m.game.events, GameEventKind::Turned)) return;
    const PlayAction turn = held.Held(PlayAction::Turn) ? PlayAction::Turn : PlayAction::TurnOther;
    m.turns = (m.turns + (TurnsClockwise(turn, steer) ? 1 : QUARTER_TURNS - 1)) % QUARTER_TURNS;
}

// Gravity, then the slide of a resting piece and whether it locks.
FrameOutcome ForeseeRest(PieceMotion& m, ActionRecord held) {
    ReckonedClock clock(m.now);
    ApplyGravity(m.game, clock);
    return LocksNow(m.game, m.keys, held) ? FrameOutcome::Locked : FrameOutcome::Falling;
}

PlayAction TurnActionFor(bool clockwise, const SteerSettings& steer) {
    return TurnsClockwise(PlayAction::Turn, steer) == clockwise ? PlayAction::Turn
                                                                : PlayAction::TurnOther;
}

bool AtTarget(const PieceMotion& m, const SteerTarget& target) {
    return m.turns == target.turns && m.game.pieceX == target.x;
}

// The keys this frame would press to go on towards the target, before the drop and the slide
// are weighed.
ActionRecord TowardsTarget(const PieceMotion& m, const SteerTarget& target,
                           const SteerSettings& steer) {
    ActionRecord held;
    const int turnsLeft = (target.turns - m.turns + QUARTER_TURNS) % QUARTER_TURNS;
    if (turnsLeft != 0) held.Set(TurnActionFor(turnsLeft != QUARTER_TURNS - 1, steer), true);
    if (m.game.pieceX > target.x) held.Set(PlayAction::ShiftLeft, true);
    if (m.game.pieceX < target.x) held.Set(PlayAction::ShiftRight, true);
    return held;
}

PieceMotion AfterKeys(const PieceMotion& motion, ActionRecord held, const SteerSettings& steer) {
    PieceMotion next = motion;
    next.now += STEER_FRAME_MS;
    ForeseeKeys(next, held, steer);
    return next;
}

}  // namespace

PieceMotion EnteringPiece(std::uint8_t type, const PieceMotion& before) {
    PieceMotion m = before;
    EnterPiece(m.game, type);
    m.turns = 0;
    return m;
}

ActionRecord SteerActions(const PieceMotion& motion, const SteerTarget& target,
                          const SteerSettings& steer) {
    ActionRecord held = TowardsTarget(motion, target, steer);
    PieceMotion next = AfterKeys(motion, held, steer);
    if (AtTarget(next, target) && !motion.keys.dropLatch) {
        held.Set(PlayAction::HardDrop, true);
        return held;
    }
    const bool shifting = held.Held(PlayAction::ShiftLeft) || held.Held(PlayAction::ShiftRight);
    // The piece will rest at the end of this frame: a shift still held would slide it on.
    if (shifting && !target.slide && ForeseeRest(next, ActionRecord{}) == FrameOutcome::Locked) {
        held.Set(PlayAction::ShiftLeft, false);
        held.Set(PlayAction::ShiftRight, false);
    }
    return held;
}

FrameOutcome ForeseeFrame(PieceMotion& motion, ActionRecord held, const SteerSettings& steer) {
    motion.now += STEER_FRAME_MS;
    ForeseeKeys(motion, held, steer);
    return ForeseeRest(motion, held);
}

bool SteerUntilLocked(PieceMotion& motion, const SteerTarget& target, const SteerSettings& steer,
                      int maxFrames, bool* letGo) {
    if (letGo != nullptr) *letGo = false;
    for (int frame = 0; frame < maxFrames; ++frame) {
        const ActionRecord held = SteerActions(motion, target, steer);
        const ActionRecord wanted = TowardsTarget(motion, target, steer);
        if (letGo != nullptr &&
            (wanted.Held(PlayAction::ShiftLeft) != held.Held(PlayAction::ShiftLeft) ||
             wanted.Held(PlayAction::ShiftRight) != held.Held(PlayAction::ShiftRight)))
            *letGo = true;
        if (ForeseeFrame(motion, held, steer) == FrameOutcome::Locked) return true;
    }
    return false;
}
