#pragma once

#include <cstdint>
#include <vector>

// Little-endian integers and four-letter tags, as the RIFF/WAVE, XM and replay files store them:
// read back from stored bytes, and appended to a byte buffer by the code that writes such files.

// The integer at `p`; the caller has made sure its bytes lie inside the buffer.
constexpr std::uint16_t GetLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
constexpr std::uint32_t GetLe32(const std::uint8_t* p) {
    return GetLe16(p) | std::uint32_t{GetLe16(p + 2)} << 16;
}
constexpr std::uint64_t GetLe64(const std::uint8_t* p) {
    return GetLe32(p) | std::uint64_t{GetLe32(p + 4)} << 32;
}

// A four-letter tag as GetLe32 reads it from a file.
constexpr std::uint32_t FourCc(const char (&tag)[5]) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(tag[3])) << 24;
}

inline void PutLe16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

inline void PutLe64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    PutLe32(out, static_cast<std::uint32_t>(value));
    PutLe32(out, static_cast<std::uint32_t>(value >> 32));
}

inline void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    // Byte by byte: GCC 12's optimiser warns falsely about a four-byte range insert here.
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// The 44 bytes that start a 16-bit PCM WAVE file: "RIFF", "WAVE", a 16-byte "fmt " chunk and the
// "data" chunk's head, for dataBytes of samples that follow.
inline std::vector<std::uint8_t> PcmWavHeader(std::uint32_t rate, std::uint16_t channels,
                                              std::uint32_t dataBytes) {
    constexpr std::uint32_t FMT_SIZE = 16;
    constexpr std::uint16_t PCM = 1;
    constexpr std::uint16_t BITS = 16;
    const std::uint32_t blockAlign = channels * BITS / 8u;
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutLe32(out, 4 + 8 + FMT_SIZE + 8 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, FMT_SIZE);
    PutLe16(out, PCM);
    PutLe16(out, channels);
    PutLe32(out, rate);
    PutLe32(out, rate * blockAlign);
    PutLe16(out, blockAlign);
    PutLe16(out, BITS);
    PutTag(out, "data");
    PutLe32(out, dataBytes);
    return out;
}
