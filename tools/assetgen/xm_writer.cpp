#include "xm_writer.h"

#include <algorithm>

#include "common/little_endian.h"

namespace {

constexpr std::uint16_t XM_VERSION = 0x0104;
constexpr std::uint32_t SONG_HEADER_SIZE = 276;
constexpr std::uint32_t PATTERN_HEADER_SIZE = 9;
constexpr std::uint32_t INSTRUMENT_HEADER_SIZE = 263;
constexpr std::uint32_t SAMPLE_HEADER_SIZE = 40;
constexpr int NAME_SIZE = 20;
constexpr int INSTRUMENT_NAME_SIZE = 22;
constexpr std::uint8_t SAMPLE_16_BIT = 0x10;

class Writer {
public:
    std::vector<std::uint8_t> bytes;
    void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) { PutLe16(bytes, v); }
    void U32(std::uint32_t v) { PutLe32(bytes, v); }
    void Text(const std::string& text, int size) {
        for (int i = 0; i < size; ++i) {
            U8(i < static_cast<int>(text.size()) ? static_cast<std::uint8_t>(text[static_cast<std::size_t>(i)]) : 0);
        }
    }
    void Zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
};

// A cell packed as the format allows: all five bytes, or a mask byte and the fields present.
void PackCell(Writer& out, const XmCell& cell) {
    const std::uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect,
                                    cell.parameter};
    std::uint8_t mask = 0;
    for (int i = 0; i < 5; ++i) {
        if (fields[i] != 0) mask = static_cast<std::uint8_t>(mask | 1 << i);
    }
    if (mask == 0x1F) {
        for (std::uint8_t field : fields) out.U8(field);
        return;
    }
    out.U8(0x80u | mask);
    for (int i = 0; i < 5; ++i) {
        if (fields[i] != 0) out.U8(fields[i]);
    }
}

void WriteEnvelopePoints(Writer& out, const XmEnvelope& envelope) {
    for (std::size_t i = 0; i < 12; ++i) {
        if (i < envelope.points.size()) {
            out.U16(envelope.points[i].tick);
            out.U16(envelope.points[i].value);
        } else {
            out.U32(0);
        }
    }
}

std::uint8_t EnvelopeType(const XmEnvelope& envelope) {
    if (envelope.points.size() < 2) return 0;
    std::uint8_t type = 1;
    if (envelope.sustain >= 0) type |= 2;
    if (envelope.loopStart >= 0 && envelope.loopEnd >= 0) type |= 4;
    return type;
}

std::uint8_t PointIndex(int index) { return static_cast<std::uint8_t>(std::max(index, 0)); }

void WriteInstrument(Writer& out, const XmInstrument& instrument) {
    const std::size_t start = out.bytes.size();
    out.U32(INSTRUMENT_HEADER_SIZE);
    out.Text(instrument.name, INSTRUMENT_NAME_SIZE);
    out.U8(0);
    out.U16(1);
    out.U32(SAMPLE_HEADER_SIZE);
    out.Zeros(96);  // every note plays the one sample
    WriteEnvelopePoints(out, instrument.volume);
    WriteEnvelopePoints(out, instrument.panning);
    out.U8(static_cast<std::uint32_t>(instrument.volume.points.size()));
    out.U8(static_cast<std::uint32_t>(instrument.panning.points.size()));
    out.U8(PointIndex(instrument.volume.sustain));
    out.U8(PointIndex(instrument.volume.loopStart));
    out.U8(PointIndex(instrument.volume.loopEnd));
    out.U8(PointIndex(instrument.panning.sustain));
    out.U8(PointIndex(instrument.panning.loopStart));
    out.U8(PointIndex(instrument.panning.loopEnd));
    out.U8(EnvelopeType(instrument.volume));
    out.U8(EnvelopeType(instrument.panning));
    out.U8(instrument.vibratoType);
    out.U8(instrument.vibratoSweep);
    out.U8(instrument.vibratoDepth);
    out.U8(instrument.vibratoRate);
    out.U16(instrument.fadeout);
    out.Zeros(INSTRUMENT_HEADER_SIZE - (out.bytes.size() - start));

    const XmSample& sample = instrument.sample;
    const std::uint32_t width = sample.eightBit ? 1 : 2;
    const std::uint32_t length = static_cast<std::uint32_t>(sample.data.size());
    std::uint8_t type = sample.loopLength == 0 ? 0 : (sample.pingPong ? 2 : 1);
    if (!sample.eightBit) type |= SAMPLE_16_BIT;
    out.U32(length * width);
    out.U32(sample.loopStart * width);
    out.U32(sample.loopLength * width);
    out.U8(sample.volume);
    out.U8(static_cast<std::uint8_t>(sample.finetune));
    out.U8(type);
    out.U8(sample.panning);
    out.U8(static_cast<std::uint8_t>(sample.relativeNote));
    out.U8(0);
    out.Text(instrument.name, INSTRUMENT_NAME_SIZE);

    // Sample data is stored as differences from the previous value.
    int previous = 0;
    for (std::int16_t value : sample.data) {
        if (sample.eightBit) {
            const int v = value / 256;
            out.U8(static_cast<std::uint32_t>(static_cast<std::uint8_t>(v - previous)));
            previous = v;
        } else {
            out.U16(static_cast<std::uint16_t>(value - previous));
            previous = value;
        }
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeXm(const XmModule& module) {
    Writer out;
    out.Text("Extended Module: ", 17);
    out.Text(module.name, NAME_SIZE);
    out.U8(0x1A);
    out.Text("Plemby assetgen", NAME_SIZE);
    out.U16(XM_VERSION);
    out.U32(SONG_HEADER_SIZE);
    out.U16(static_cast<std::uint32_t>(module.orders.size()));
    out.U16(static_cast<std::uint32_t>(module.restartPosition));
    out.U16(static_cast<std::uint32_t>(module.channels));
    out.U16(static_cast<std::uint32_t>(module.patterns.size()));
    out.U16(static_cast<std::uint32_t>(module.instruments.size()));
    out.U16(module.linearFrequencies ? 1 : 0);
    out.U16(static_cast<std::uint32_t>(module.speed));
    out.U16(static_cast<std::uint32_t>(module.tempo));
    for (int i = 0; i < 256; ++i) {
        out.U8(i < static_cast<int>(module.orders.size()) ? static_cast<std::uint32_t>(module.orders[static_cast<std::size_t>(i)]) : 0);
    }

    for (const XmPattern& pattern : module.patterns) {
        Writer packed;
        for (const XmCell& cell : pattern.cells) PackCell(packed, cell);
        out.U32(PATTERN_HEADER_SIZE);
        out.U8(0);
        out.U16(static_cast<std::uint32_t>(pattern.rows));
        out.U16(static_cast<std::uint32_t>(packed.bytes.size()));
        out.bytes.insert(out.bytes.end(), packed.bytes.begin(), packed.bytes.end());
    }
    for (const XmInstrument& instrument : module.instruments) WriteInstrument(out, instrument);
    return out.bytes;
}
