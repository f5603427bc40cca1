#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/little_endian.h"

// Builds RIFF/WAVE bytes chunk by chunk for the sound tests.
namespace wav_builder {

// A chunk with its pad byte when the size is odd; sizeField overrides the stored size.
inline std::vector<std::uint8_t> Chunk(const std::string& id, const std::vector<std::uint8_t>& data,
                                       std::int64_t sizeField = -1) {
    std::vector<std::uint8_t> out(id.begin(), id.end());
    PutLe32(out, sizeField < 0 ? static_cast<std::uint32_t>(data.size())
                               : static_cast<std::uint32_t>(sizeField));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 == 1) out.push_back(0);
    return out;
}

inline std::vector<std::uint8_t> FmtData(std::uint16_t tag, std::uint16_t channels,
                                         std::uint32_t rate, std::uint16_t bits) {
    std::vector<std::uint8_t> out;
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    PutLe16(out, tag);
    PutLe16(out, channels);
    PutLe32(out, rate);
    PutLe32(out, rate * align);
    PutLe16(out, align);
    PutLe16(out, bits);
    return out;
}

inline std::vector<std::uint8_t> Riff(const std::vector<std::vector<std::uint8_t>>& chunks,
                                      std::int64_t sizeField = -1) {
    std::vector<std::uint8_t> body = {'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
    PutLe32(out, sizeField < 0 ? static_cast<std::uint32_t>(body.size())
                               : static_cast<std::uint32_t>(sizeField));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// 16-bit stereo PCM frames holding one constant level per channel.
inline std::vector<std::uint8_t> ConstantFrames(std::uint32_t frames, std::int16_t left,
                                                std::int16_t right) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = 0; i < frames; ++i) {
        PutLe16(out, static_cast<std::uint16_t>(left));
        PutLe16(out, static_cast<std::uint16_t>(right));
    }
    return out;
}

inline std::vector<std::uint8_t> StereoWav(std::uint32_t rate,
                                           const std::vector<std::uint8_t>& data) {
    if (data.size() % 2 == 1)
        return Riff({Chunk("fmt ", FmtData(1, 2, rate, 16)), Chunk("data", data)});
    std::vector<std::uint8_t> out = PcmWavHeader(rate, 2, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

}  // namespace wav_builder
