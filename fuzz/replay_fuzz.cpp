// Replay files come from the user's disk or from other players: any bytes are either refused
// with a reason or give a replay that the game writes back as the very same bytes. Most random
// bytes fail the checksum, so each input is also tried with its checksum made right, to reach the
// frames.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "replays/replay.h"

namespace {
void TryReplay(std::span<const std::uint8_t> bytes) {
    Replay replay;
    std::string reason;
    if (!DecodeReplay(bytes, replay, reason)) {
        if (reason.empty()) std::abort();
        return;
    }
    const std::vector<std::uint8_t> written = EncodeReplay(replay);
    if (!std::equal(written.begin(), written.end(), bytes.begin(), bytes.end())) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    TryReplay(bytes);
    constexpr std::size_t CHECKSUM_SIZE = 4;
    if (size >= CHECKSUM_SIZE) {
        std::vector<std::uint8_t> sealed(data, data + size);
        const std::uint32_t checksum = ReplayChecksum(bytes.first(size - CHECKSUM_SIZE));
        for (std::size_t i = 0; i < CHECKSUM_SIZE; ++i) {
            sealed[size - CHECKSUM_SIZE + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
        }
        TryReplay(sealed);
    }
    return 0;
}
