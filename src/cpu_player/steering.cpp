#include "cpu_player/steering.h"

namespace {

constexpr int QUARTER_TURNS = 4;
constexpr int SLIDE_STEPS = 5;

bool TurnsClockwise(PlayAction action, const SteerSettings& steer) {
    return (action == PlayAction::Turn) == (steer.rotateReversed == 0);
}

void TryTurn(const Well& well, PieceMotion& m, bool clockwise) {
    if (!TurnIsFree(well, m.type, m.x, m.y)) return;
    if (clockwise) {
        TurnClockwise(m.mask, m.type);
        m.turns = (m.turns + 1) % QUARTER_TURNS;
    } else {
        TurnCounterClockwise(m.mask, m.type);
        m.turns = (m.turns + QUARTER_TURNS - 1) % QUARTER_TURNS;
    }
}

void TryShift(const Well& well, PieceMotion& m, int dx) {
    if (ShiftIsFree(well, m.mask, m.x, m.y, dx)) m.x += dx;
}

// The keys' part of a frame, in the rules' order.
void ForeseeKeys(const Well& well, PieceMotion& m, ActionRecord held, const SteerSettings& steer) {
    if (StepKeyRepeat(m.turn, held.Held(PlayAction::Turn), steer.rotateRepeat))
        TryTurn(well, m, TurnsClockwise(PlayAction::Turn, steer));
    if (StepKeyRepeat(m.turnOther, held.Held(PlayAction::TurnOther), steer.rotateRepeat))
        TryTurn(well, m, TurnsClockwise(PlayAction::TurnOther, steer));
    if (StepKeyRepeat(m.shiftLeft, held.Held(PlayAction::ShiftLeft), steer.moveRepeat))
        TryShift(well, m, -1);
    if (StepKeyRepeat(m.shiftRight, held.Held(PlayAction::ShiftRight), steer.moveRepeat))
        TryShift(well, m, 1);
    if (!held.Held(PlayAction::HardDrop)) {
        m.dropLatch = 0;
    } else if (!m.dropLatch) {
        const int distance = DropDistance(well, m.mask, m.x, m.y);
        if (distance != NO_DROP) {
            m.y += distance;
            m.lastFallTime = m.now;
        }
        m.dropLatch = 1;
    }
}

// Gravity, then the slide and lock of a resting piece.
FrameOutcome ForeseeRest(const Well& well, PieceMotion& m, ActionRecord held) {
    if (m.now - m.lastFallTime >= m.gravityInterval) {
        m.lastFallTime = m.now;
        if (m.y < LAST_BOX_ROW && !RestsOn(well, m.mask, m.x, m.y)) ++m.y;
    }
    if (!RestsOn(well, m.mask, m.x, m.y)) return FrameOutcome::Falling;
    if (!m.dropLatch) {
        for (int step = 0; step < SLIDE_STEPS; ++step) {
            if (held.Held(PlayAction::ShiftLeft)) TryShift(well, m, -1);
            if (held.Held(PlayAction::ShiftRight)) TryShift(well, m, 1);
        }
        if (!RestsOn(well, m.mask, m.x, m.y)) return FrameOutcome::Falling;
    }
    return FrameOutcome::Locked;
}

PlayAction TurnActionFor(bool clockwise, const SteerSettings& steer) {
    return TurnsClockwise(PlayAction::Turn, steer) == clockwise ? PlayAction::Turn
                                                                : PlayAction::TurnOther;
}

bool AtTarget(const PieceMotion& m, const SteerTarget& target) {
    return m.turns == target.turns && m.x == target.x;
}

// The keys this frame would press to go on towards the target, before the drop and the slide
// are weighed.
ActionRecord TowardsTarget(const PieceMotion& m, const SteerTarget& target,
                           const SteerSettings& steer) {
    ActionRecord held;
    const int turnsLeft = (target.turns - m.turns + QUARTER_TURNS) % QUARTER_TURNS;
    if (turnsLeft != 0) held.Set(TurnActionFor(turnsLeft != QUARTER_TURNS - 1, steer), true);
    if (m.x > target.x) held.Set(PlayAction::ShiftLeft, true);
    if (m.x < target.x) held.Set(PlayAction::ShiftRight, true);
    return held;
}

PieceMotion AfterKeys(const Well& well, const PieceMotion& motion, ActionRecord held,
                      const SteerSettings& steer) {
    PieceMotion next = motion;
    next.now += STEER_FRAME_MS;
    ForeseeKeys(well, next, held, steer);
    return next;
}

}  // namespace

bool RestsOn(const Well& well, const PieceMask& mask, int x, int y) {
    bool rests = false;
    ForEachBlock(mask,
                 [&](int r, int c, std::uint8_t) { rests = rests || well[y + r + 1][x + c] != 0; });
    return rests;
}

PieceMotion EnteringPiece(std::uint8_t type, const PieceMotion& before) {
    PieceMotion m = before;
    m.type = type;
    m.mask = ENTERING_MASKS[type - 1];
    m.turns = 0;
    m.x = ENTRY_COLUMN;
    m.y = ENTRY_ROW;
    return m;
}

ActionRecord SteerActions(const Well& well, const PieceMotion& motion, const SteerTarget& target,
                          const SteerSettings& steer) {
    ActionRecord held = TowardsTarget(motion, target, steer);
    PieceMotion next = AfterKeys(well, motion, held, steer);
    if (AtTarget(next, target) && !motion.dropLatch) {
        held.Set(PlayAction::HardDrop, true);
        return held;
    }
    const bool shifting = held.Held(PlayAction::ShiftLeft) || held.Held(PlayAction::ShiftRight);
    if (shifting && !target.slide) {
        // The piece will rest at the end of this frame: a shift still held would slide it on.
        ForeseeRest(well, next, ActionRecord{});
        if (RestsOn(well, next.mask, next.x, next.y)) {
            held.Set(PlayAction::ShiftLeft, false);
            held.Set(PlayAction::ShiftRight, false);
        }
    }
    return held;
}

FrameOutcome ForeseeFrame(const Well& well, PieceMotion& motion, ActionRecord held,
                          const SteerSettings& steer) {
    motion.now += STEER_FRAME_MS;
    ForeseeKeys(well, motion, held, steer);
    return ForeseeRest(well, motion, held);
}

bool SteerUntilLocked(const Well& well, PieceMotion& motion, const SteerTarget& target,
                      const SteerSettings& steer, int maxFrames, bool* letGo) {
    if (letGo != nullptr) *letGo = false;
    for (int frame = 0; frame < maxFrames; ++frame) {
        const ActionRecord held = SteerActions(well, motion, target, steer);
        const ActionRecord wanted = TowardsTarget(motion, target, steer);
        if (letGo != nullptr &&
            (wanted.Held(PlayAction::ShiftLeft) != held.Held(PlayAction::ShiftLeft) ||
             wanted.Held(PlayAction::ShiftRight) != held.Held(PlayAction::ShiftRight)))
            *letGo = true;
        if (ForeseeFrame(well, motion, held, steer) == FrameOutcome::Locked) return true;
    }
    return false;
}
