#pragma once

#include "game/well.h"

// How good a well is to play on, as a weighted sum of what makes a well easy or hard: the height
// of the stack, the holes under it, the steps between neighbouring columns, the narrow wells that
// only a bar fills, and the rows the placements removed. Higher is better.
struct WellShape {
    int totalHeight = 0;  // the ten column heights added up
    int maxHeight = 0;
    int holes = 0;         // empty cells with a block somewhere above them
    int coveredHoles = 0;  // blocks stacked over holes, which must go before a hole opens
    int bumpiness = 0;     // height steps between neighbouring columns, added up
    int wells = 0;         // 1 + 2 + ... + depth for each column deeper than both neighbours,
                           // but the deepest, which is kept open for a bar
    int deepestWell = 0;
    int rowTransitions = 0;  // filled cells beside empty ones along the rows
};

WellShape MeasureWell(const Well& well);

// What removing this many rows with one landing is worth: more rows at once are worth more than
// the same rows one by one, as they are in the score. While the piece falls slowly the player
// builds for four rows at once; once it falls a row every frame, it takes what rows it can.
double ClearWorth(int rows, bool hurried);

// `clearWorth`: what the placements that led to the well removed, `landingRow` the lowest well
// row reached by the last piece (rows count down from the top).
double JudgeWell(const Well& well, double clearWorth, int landingRow);
