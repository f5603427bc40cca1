#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/cpu_strength.h"

// The person's matches against the CPU player at each strength, and their stored form: the tag
// "PVS1", then for each strength from EASY up its wins, losses and drawn matches, each a
// little-endian 32-bit count.
struct VersusTally {
    std::uint32_t wins = 0;
    std::uint32_t losses = 0;
    std::uint32_t draws = 0;
    bool operator==(const VersusTally&) const = default;
};
using VersusResults = std::array<VersusTally, CPU_STRENGTH_COUNT>;

// The results as stored; the versus store (app/versus_results_store.h) reads and writes them.
extern VersusResults versusResults;

enum class MatchOutcome : std::uint8_t { Won, Lost, Drawn };

constexpr std::size_t VERSUS_RESULTS_SIZE = 4 + CPU_STRENGTH_COUNT * 3 * 4;

// nullopt unless the bytes are exactly one record with its tag.
std::optional<VersusResults> ParseVersusResults(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> FormatVersusResults(const VersusResults& results);
// One more match counted; a count that has reached its largest value stays there.
void CountMatch(VersusResults& results, CpuStrength strength, MatchOutcome outcome);
