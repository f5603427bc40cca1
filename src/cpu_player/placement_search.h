#pragma once

#include <cstdint>

#include "cpu_player/steering.h"

// The CPU player's choice of where the falling piece goes. Every turn and column of the piece is
// steered to the end on a copy with the real timers, so that only places the piece can really
// reach count; the best few wells are then tried with every place of the next piece, and the
// place whose best pair leaves the best well is taken.
SteerTarget ChoosePlacement(const PieceMotion& motion, std::uint8_t nextType,
                            const SteerSettings& steer);
