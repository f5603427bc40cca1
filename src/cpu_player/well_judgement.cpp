#include "cpu_player/well_judgement.h"

#include <algorithm>
#include <array>

namespace {

constexpr int PLAY_COLUMNS = LAST_PLAY_COLUMN - FIRST_PLAY_COLUMN + 1;
// A column's height counts the hidden row too: 21 when a block stands in row 0.
constexpr int FULL_HEIGHT = FLOOR_ROW;
// From this height on the stack crowds the rows where pieces enter and leaves them no time.
constexpr int DANGER_HEIGHT = 12;

struct Weights {
    double totalHeight;
    double maxHeight;
    double danger;  // per row of the highest column above DANGER_HEIGHT, squared
    double holes;
    double coveredHoles;
    double bumpiness;
    double wells;
    double deepestWell;
    double rowTransitions;
    double landingRow;
};
constexpr Weights WEIGHTS = {
    .totalHeight = -1.0,
    .maxHeight = -0.3,
    .danger = -6.0,
    .holes = -7.0,
    .coveredHoles = -1.0,
    .bumpiness = -0.6,
    .wells = -0.8,
    .deepestWell = -0.3,
    .rowTransitions = -0.6,
    .landingRow = 0.4,
};

constexpr int MAX_CLEAR = 4;
constexpr double CLEAR_WORTH[MAX_CLEAR + 1] = {0.0, -1.0, 2.0, 6.0, 20.0};
constexpr double HURRIED_CLEAR_WORTH[MAX_CLEAR + 1] = {0.0, 0.5, 3.0, 7.0, 16.0};

}  // namespace

WellShape MeasureWell(const Well& well) {
    WellShape shape;
    std::array<int, PLAY_COLUMNS> heights{};
    for (int i = 0; i < PLAY_COLUMNS; ++i) {
        const int column = FIRST_PLAY_COLUMN + i;
        int top = FLOOR_ROW;
        for (int row = HIDDEN_ROW; row < FLOOR_ROW; ++row) {
            if (well[row][column] != 0) {
                top = row;
                break;
            }
        }
        heights[i] = FLOOR_ROW - top;
        int above = 0;
        for (int row = top; row < FLOOR_ROW; ++row) {
            if (well[row][column] != 0) {
                ++above;
            } else {
                ++shape.holes;
                shape.coveredHoles += above;
            }
        }
        shape.totalHeight += heights[i];
        shape.maxHeight = std::max(shape.maxHeight, heights[i]);
    }
    for (int i = 0; i < PLAY_COLUMNS; ++i) {
        if (i + 1 < PLAY_COLUMNS) shape.bumpiness += std::abs(heights[i] - heights[i + 1]);
        const int left = i == 0 ? FULL_HEIGHT : heights[i - 1];
        const int right = i + 1 == PLAY_COLUMNS ? FULL_HEIGHT : heights[i + 1];
        const int depth = std::min(left, right) - heights[i];
        if (depth > 0) shape.wells += depth * (depth + 1) / 2;
        shape.deepestWell = std::max(shape.deepestWell, depth);
    }
    shape.wells -= shape.deepestWell * (shape.deepestWell + 1) / 2;
    for (int row = FIRST_VISIBLE_ROW; row < FLOOR_ROW; ++row) {
        // The side walls count as filled.
        bool filled = true;
        for (int column = FIRST_PLAY_COLUMN; column <= LAST_PLAY_COLUMN + 1; ++column) {
            const bool here = column > LAST_PLAY_COLUMN || well[row][column] != 0;
            if (here != filled) ++shape.rowTransitions;
            filled = here;
        }
    }
    return shape;
}

double ClearWorth(int rows, bool hurried) {
    const int clamped = std::clamp(rows, 0, MAX_CLEAR);
    return hurried ? HURRIED_CLEAR_WORTH[clamped] : CLEAR_WORTH[clamped];
}

double JudgeWell(const Well& well, double clearWorth, int landingRow) {
    const WellShape shape = MeasureWell(well);
    const int over = std::max(0, shape.maxHeight - DANGER_HEIGHT);
    return WEIGHTS.totalHeight * shape.totalHeight + WEIGHTS.maxHeight * shape.maxHeight +
           WEIGHTS.danger * over * over + WEIGHTS.holes * shape.holes +
           WEIGHTS.coveredHoles * shape.coveredHoles + WEIGHTS.bumpiness * shape.bumpiness +
           WEIGHTS.wells * shape.wells + WEIGHTS.deepestWell * shape.deepestWell +
           WEIGHTS.rowTransitions * shape.rowTransitions + clearWorth +
           WEIGHTS.landingRow * landingRow;
}
