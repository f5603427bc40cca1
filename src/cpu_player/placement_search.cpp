#include "cpu_player/placement_search.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "cpu_player/well_judgement.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"

namespace {

// Steering that has not locked the piece by then has lost its way (a turn that the stack keeps
// refusing while the piece hangs at the slowest gravity).
constexpr int MAX_STEER_FRAMES = 400;
// How many of the best places of the falling piece are tried with the next piece.
constexpr std::size_t LOOK_AHEAD_PLACES = 5;
constexpr int CALM_STACK_HEIGHT = 8;
constexpr double LOST = -std::numeric_limits<double>::infinity();

struct Landing {
    SteerTarget target;
    PieceMotion end;  // where the piece locked, its copy's well locked as the rules lock it
    int rows = 0;
    double worth = 0;  // ClearWorth of this landing and those before it
    double judged = LOST;
};

// Locks the piece into the copy's well and removes the full rows, as the rules do; false when the
// lock ends the game. The copy counts its lines from nought, so two landings never reach a
// level-up: the next piece is foreseen at the level seen now.
bool LockInto(PieceMotion& m, int& rows) {
    if (!JoinWell(m.game)) return false;
    rows = ClearFullRows(m.game);
    return true;
}

int LowestRow(const PieceMotion& m) {
    int lowest = 0;
    ForEachBlock(m.game.currentMask,
                 [&](int r, int, std::uint8_t) { lowest = std::max(lowest, m.game.pieceY + r); });
    return lowest;
}

// The box columns at which every block of the turned mask lies in the playable columns.
void PlayableColumns(const PieceMask& mask, int& first, int& last) {
    int left = MASK_SIZE, right = -1;
    ForEachBlock(mask, [&](int, int c, std::uint8_t) {
        left = std::min(left, c);
        right = std::max(right, c);
    });
    first = FIRST_PLAY_COLUMN - left;
    last = LAST_PLAY_COLUMN - right;
}

bool SamePlace(const PieceMotion& a, const PieceMotion& b) {
    return a.turns == b.turns && a.game.pieceX == b.game.pieceX && a.game.pieceY == b.game.pieceY;
}

// Every place the piece can reach, once each, with the well it leaves.
// `earlierWorth`: what the placements before this one removed, which the judgement counts too.
std::vector<Landing> Landings(const PieceMotion& motion, const SteerSettings& steer,
                              double earlierWorth) {
    std::vector<Landing> landings;
    // Building for four rows at once pays while the piece falls slowly and the stack is low.
    const bool hurried = GravityInterval(motion.game) <= STEER_FRAME_MS ||
                         MeasureWell(motion.game.well).maxHeight > CALM_STACK_HEIGHT;
    const std::uint8_t type = motion.game.currentType;
    const int orientations = type == SQUARE_PIECE ? 1 : 4;
    PieceMask turned = ENTERING_MASKS[type - 1];
    for (int turns = 0; turns < orientations; ++turns) {
        if (turns > 0) TurnClockwise(turned, type);
        int first = 0, last = 0;
        PlayableColumns(turned, first, last);
        for (int x = first; x <= last; ++x) {
            for (const bool slide : {false, true}) {
                Landing landing;
                landing.target = {turns, x, slide};
                landing.end = motion;
                bool letGo = false;
                if (!SteerUntilLocked(landing.end, landing.target, steer, MAX_STEER_FRAMES, &letGo))
                    break;
                const bool seen =
                    std::any_of(landings.begin(), landings.end(),
                                [&](const Landing& l) { return SamePlace(l.end, landing.end); });
                if (!seen) {
                    if (LockInto(landing.end, landing.rows)) {
                        landing.worth = earlierWorth + ClearWorth(landing.rows, hurried);
                        landing.judged =
                            JudgeWell(landing.end.game.well, landing.worth, LowestRow(landing.end));
                    }
                    landings.push_back(landing);
                }
                // Only a shift let go on a resting frame makes the sliding twin end elsewhere.
                if (!letGo) break;
            }
        }
    }
    return landings;
}

}  // namespace

SteerTarget ChoosePlacement(const PieceMotion& motion, std::uint8_t nextType,
                            const SteerSettings& steer) {
    std::vector<Landing> landings = Landings(motion, steer, 0);
    if (landings.empty()) return {};
    std::sort(landings.begin(), landings.end(),
              [](const Landing& a, const Landing& b) { return a.judged > b.judged; });
    if (nextType < 1 || nextType > PIECE_TYPES || landings.front().judged == LOST)
        return landings.front().target;

    SteerTarget best = landings.front().target;
    double bestJudged = LOST;
    const std::size_t tried = std::min(LOOK_AHEAD_PLACES, landings.size());
    for (std::size_t i = 0; i < tried && landings[i].judged != LOST; ++i) {
        const Landing& first = landings[i];
        const PieceMotion next = EnteringPiece(nextType, first.end);
        double pairBest = LOST;
        for (const Landing& second : Landings(next, steer, first.worth))
            pairBest = std::max(pairBest, second.judged);
        // A place after which the next piece can only end the game is still better than none.
        if (pairBest == LOST) pairBest = first.judged - 1000.0;
        if (pairBest > bestJudged) {
            bestJudged = pairBest;
            best = first.target;
        }
    }
    return best;
}
