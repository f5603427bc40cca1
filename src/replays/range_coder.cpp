#include "replays/range_coder.h"

namespace {
constexpr std::uint32_t TOP = 1u << 24;  // below this the range takes in another byte
constexpr int START_BYTES = 5;           // a zero byte, then the first four of the code

void Adapt(BitProbability& probability, bool bit) {
    if (bit) {
        probability -= probability >> ADAPT_SHIFT;
    } else {
        probability += ((1 << PROBABILITY_BITS) - probability) >> ADAPT_SHIFT;
    }
}
}  // namespace

bool RangeEncoder::Code(BitProbability& probability, bool bit) {
    const std::uint32_t bound = (range >> PROBABILITY_BITS) * probability;
    if (bit) {
        low += bound;
        range -= bound;
    } else {
        range = bound;
    }
    Adapt(probability, bit);
    while (range < TOP) {
        range <<= 8;
        ShiftLow();
    }
    return bit;
}

// Bytes leave the coder once a carry can no longer reach them; a run of 0xFF bytes waits in
// `cacheSize` until it is known whether the carry turns it into zeros.
void RangeEncoder::ShiftLow() {
    if (static_cast<std::uint32_t>(low) < 0xFF000000u || (low >> 32) != 0) {
        const auto carry = static_cast<std::uint8_t>(low >> 32);
        std::uint8_t pending = cache;
        do {
            out.push_back(static_cast<std::uint8_t>(pending + carry));
            pending = 0xFF;
        } while (--cacheSize != 0);
        cache = static_cast<std::uint8_t>(low >> 24);
    }
    ++cacheSize;
    low = (low & 0x00FFFFFFu) << 8;
}

void RangeEncoder::Finish() {
    for (int i = 0; i < START_BYTES; ++i) ShiftLow();
}

RangeDecoder::RangeDecoder(std::span<const std::uint8_t> bytes) : in(bytes) {
    for (int i = 0; i < START_BYTES; ++i) code = (code << 8) | NextByte();
    // The encoder's first byte is always 0, which keeps the code below the range.
    if (!in.empty() && in[0] != 0) failed = true;
}

bool RangeDecoder::Code(BitProbability& probability, bool) {
    if (failed) return false;
    const std::uint32_t bound = (range >> PROBABILITY_BITS) * probability;
    const bool bit = code >= bound;
    if (bit) {
        code -= bound;
        range -= bound;
    } else {
        range = bound;
    }
    Adapt(probability, bit);
    while (range < TOP) {
        range <<= 8;
        code = (code << 8) | NextByte();
    }
    return bit;
}

std::uint8_t RangeDecoder::NextByte() {
    if (position >= in.size()) {
        failed = true;
        return 0;
    }
    return in[position++];
}
