#include "common/versus_results.h"

#include <limits>

#include "common/little_endian.h"

VersusResults versusResults;

namespace {

constexpr std::uint32_t TAG = FourCc("PVS1");
constexpr std::uint32_t VersusTally::*COUNTS[] = {&VersusTally::wins, &VersusTally::losses,
                                                  &VersusTally::draws};

}  // namespace

std::optional<VersusResults> ParseVersusResults(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != VERSUS_RESULTS_SIZE || GetLe32(bytes.data()) != TAG) return std::nullopt;
    VersusResults results{};
    const std::uint8_t* p = bytes.data() + 4;
    for (VersusTally& tally : results) {
        for (const auto count : COUNTS) {
            tally.*count = GetLe32(p);
            p += 4;
        }
    }
    return results;
}

std::vector<std::uint8_t> FormatVersusResults(const VersusResults& results) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(VERSUS_RESULTS_SIZE);
    PutLe32(bytes, TAG);
    for (const VersusTally& tally : results) {
        for (const auto count : COUNTS) PutLe32(bytes, tally.*count);
    }
    return bytes;
}

void CountMatch(VersusResults& results, CpuStrength strength, MatchOutcome outcome) {
    VersusTally& tally = results[static_cast<std::size_t>(StrengthIndex(strength))];
    std::uint32_t& count = outcome == MatchOutcome::Won    ? tally.wins
                           : outcome == MatchOutcome::Lost ? tally.losses
                                                           : tally.draws;
    if (count < std::numeric_limits<std::uint32_t>::max()) ++count;
}
