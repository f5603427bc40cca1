#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// An adaptive binary range coder: each bit is coded with a probability that learns from the
// bits coded with it before, so a frame like the one before it costs a small part of a bit.
// The encoder and the decoder share one interface, Code(prob, bit), so that one function
// describes a format for both directions: the encoder writes the bit it is given and returns
// it, the decoder ignores it and returns the bit it reads.

using BitProbability = std::uint16_t;  // chance of a 0, in 1/2048ths
constexpr int PROBABILITY_BITS = 11;
constexpr BitProbability EVEN_ODDS = 1 << (PROBABILITY_BITS - 1);
// How fast a probability follows the bits: by 1/32 of the distance each time.
constexpr int ADAPT_SHIFT = 5;

class RangeEncoder {
public:
    static constexpr bool DECODING = false;
    explicit RangeEncoder(std::vector<std::uint8_t>& bytes) : out(bytes) {}
    bool Code(BitProbability& probability, bool bit);
    // Writes what is still held; the coder is done after it.
    void Finish();

private:
    void ShiftLow();
    std::vector<std::uint8_t>& out;
    std::uint64_t low = 0;
    std::uint32_t range = 0xFFFFFFFFu;
    std::uint8_t cache = 0;
    std::uint64_t cacheSize = 1;
};

class RangeDecoder {
public:
    static constexpr bool DECODING = true;
    // Fails at once when the bytes cannot begin a coded stream.
    explicit RangeDecoder(std::span<const std::uint8_t> in);
    bool Code(BitProbability& probability, bool ignored);
    // A decoder that ran past its bytes has failed; every later bit it gives is 0.
    bool Failed() const { return failed; }
    // True when every byte was used and the last ones are the encoder's flush of the bottom of
    // the final range: a stream with bytes left over, or ending elsewhere in the range, decodes
    // to the same bits but is not what the encoder makes of them.
    bool AtEnd() const { return !failed && position == in.size() && code == 0; }

private:
    std::uint8_t NextByte();
    std::span<const std::uint8_t> in;
    std::size_t position = 0;
    std::uint32_t range = 0xFFFFFFFFu;
    std::uint32_t code = 0;
    bool failed = false;
};

// A number of up to NUMBER_MAX_BITS bits, coded as the length of value + 1 in unary and then
// its bits below the leading one; small numbers are cheap, and every length learns its own
// odds.
constexpr int NUMBER_MAX_BITS = 40;
struct NumberModel {
    NumberModel() {
        length.fill(EVEN_ODDS);
        for (auto& row : bits) row.fill(EVEN_ODDS);
    }
    std::array<BitProbability, NUMBER_MAX_BITS> length;
    std::array<std::array<BitProbability, NUMBER_MAX_BITS>, NUMBER_MAX_BITS + 1> bits;
};

template <class Coder>
std::uint64_t CodeNumber(Coder& coder, NumberModel& model, std::uint64_t value) {
    constexpr std::uint64_t LARGEST = (std::uint64_t{1} << NUMBER_MAX_BITS) - 2;
    const std::uint64_t shifted = (value > LARGEST ? LARGEST : value) + 1;
    int width = 1;  // bits of `shifted`, leading one included
    while ((shifted >> width) != 0) ++width;
    int length = 1;
    while (length < NUMBER_MAX_BITS && coder.Code(model.length[length - 1], length < width)) {
        ++length;
    }
    std::uint64_t result = 1;
    for (int bit = length - 2; bit >= 0; --bit) {
        const bool set = coder.Code(model.bits[length][bit], ((shifted >> bit) & 1) != 0);
        result = (result << 1) | (set ? 1 : 0);
    }
    return result - 1;
}

// Signed numbers fold onto unsigned ones: 0, -1, 1, -2, 2, ...
template <class Coder>
std::int64_t CodeSigned(Coder& coder, NumberModel& model, std::int64_t value) {
    const std::uint64_t folded = value < 0 ? (static_cast<std::uint64_t>(-(value + 1)) << 1) | 1
                                           : static_cast<std::uint64_t>(value) << 1;
    const std::uint64_t coded = CodeNumber(coder, model, folded);
    const auto half = static_cast<std::int64_t>(coded >> 1);
    return (coded & 1) != 0 ? -half - 1 : half;
}

// A field of `BITS` bits, each bit coded with the odds of the bits above it (a binary tree).
template <int BITS>
struct TreeModel {
    TreeModel() { nodes.fill(EVEN_ODDS); }
    std::array<BitProbability, std::size_t{1} << BITS> nodes;
};

template <class Coder, int BITS>
std::uint32_t CodeTree(Coder& coder, TreeModel<BITS>& model, std::uint32_t value) {
    std::uint32_t node = 1;
    for (int bit = BITS - 1; bit >= 0; --bit) {
        node = (node << 1) | (coder.Code(model.nodes[node], ((value >> bit) & 1) != 0) ? 1 : 0);
    }
    return node - (std::uint32_t{1} << BITS);
}
