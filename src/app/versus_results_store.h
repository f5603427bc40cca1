#pragma once

#include <string>

#include "common/versus_results.h"

// The person's results against the CPU player, in versus.bin beside the settings: read at
// start-up, written after each match against the CPU player. A damaged file is said in one line
// and moved aside to versus.bin.damaged, so that the results from then on are stored again.

constexpr const char* VERSUS_RESULTS_FILE_NAME = "versus.bin";
constexpr const char* DAMAGED_SUFFIX = ".damaged";

// Into versusResults.
void LoadVersusResults();
// Counts the match and saves the results atomically; false when they could not be stored, which
// the first time is said on stderr.
bool RecordVersusMatch(CpuStrength strength, MatchOutcome outcome);
// $XDG_CONFIG_HOME/plemby/versus.bin; empty when no config folder can be found.
std::string VersusResultsPath();
