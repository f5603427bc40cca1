#pragma once

#include "game/well.h"

// How good a well is to play on, as a weighted sum of what makes a well easy or hard: the height
// of the stack, the holes under it, the steps between neighbouring columns, the narrow wells that
// only a bar fills, and the rows the placements removed. Higher is better.
struct WellShape {
    int totalHeight = 0;  // the ten column heights added up
    int maxHeight = 0;
    int holes = 0;        // empty cells with a block somewhere above them
    int coveredHoles = 0; // blocks stacked over holes, which must go before a hole opens
    int bumpiness = 0;    // height steps between neighbouring columns, added up
    int wells = 0;        // 1 + 2 + ... + depth for each column deeper than both neighbours
    int rowTransitions = 0;  // filled cells beside empty ones along the rows
};

WellShape MeasureWell(const Well& well);

// `rowsRemoved` by the placements that led to the well, `landingRow` the lowest well row
// reached by the last piece (rows count down from the top).
double JudgeWell(const Well& well, int rowsRemoved, int landingRow);
