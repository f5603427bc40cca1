#include "support/xm_builder.h"

#include <algorithm>

#include "common/little_endian.h"

namespace {

void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

std::vector<std::uint8_t> PackCells(const XmPattern& pattern, int channels) {
    std::vector<std::uint8_t> packed;
    for (int i = 0; i < pattern.rows * channels; ++i) {
        const XmCell cell =
            i < static_cast<int>(pattern.cells.size()) ? pattern.cells[i] : XmCell{};
        const std::uint8_t fields[5] = {cell.note, cell.instrument, cell.volume, cell.effect,
                                        cell.parameter};
        std::uint8_t mask = 0x80;
        for (int f = 0; f < 5; ++f) {
            if (fields[f] != 0) mask |= static_cast<std::uint8_t>(1 << f);
        }
        packed.push_back(mask);
        for (int f = 0; f < 5; ++f) {
            if (fields[f] != 0) packed.push_back(fields[f]);
        }
    }
    return packed;
}

void PutEnvelopePoints(std::vector<std::uint8_t>& out, const XmEnvelopeSketch& envelope) {
    for (std::size_t i = 0; i < 12; ++i) {
        const auto point = i < envelope.points.size() ? envelope.points[i]
                                                      : std::pair<std::uint16_t, std::uint16_t>{};
        PutLe16(out, point.first);
        PutLe16(out, point.second);
    }
}

void PutInstrument(std::vector<std::uint8_t>& out, const XmInstrument& in) {
    const std::size_t start = out.size();
    PutLe32(out, in.headerSize);
    PutText(out, "instrument", 22);
    out.push_back(0);
    PutLe16(out, static_cast<std::uint32_t>(in.samples.size()));
    PutLe32(out, in.sampleHeaderSize);
    if (!in.samples.empty()) {
        for (int i = 0; i < 96; ++i) out.push_back(in.sampleForNote[i]);
        PutEnvelopePoints(out, in.volumeEnvelope);
        PutEnvelopePoints(out, in.panningEnvelope);
        out.push_back(static_cast<std::uint8_t>(in.volumeEnvelope.points.size()));
        out.push_back(static_cast<std::uint8_t>(in.panningEnvelope.points.size()));
        for (const XmEnvelopeSketch* e : {&in.volumeEnvelope, &in.panningEnvelope}) {
            out.push_back(e->sustain);
            out.push_back(e->loopStart);
            out.push_back(e->loopEnd);
        }
        out.push_back(in.volumeEnvelope.type);
        out.push_back(in.panningEnvelope.type);
        out.push_back(in.vibratoWaveform);
        out.push_back(in.vibratoSweep);
        out.push_back(in.vibratoDepth);
        out.push_back(in.vibratoRate);
        PutLe16(out, in.fadeout);
    }
    // Pad (or cut) the header to its stated size.
    out.resize(start + in.headerSize, 0);
    if (in.samples.empty()) return;
    for (const XmSample& s : in.samples) {
        const std::size_t header = out.size();
        PutLe32(out, s.length != 0 ? s.length : static_cast<std::uint32_t>(s.data.size()));
        PutLe32(out, s.loopStart);
        PutLe32(out, s.loopLength);
        out.push_back(s.volume);
        out.push_back(static_cast<std::uint8_t>(s.finetune));
        out.push_back(s.type);
        out.push_back(s.panning);
        out.push_back(static_cast<std::uint8_t>(s.relativeNote));
        out.push_back(s.packing);
        PutText(out, "sample", 22);
        out.resize(header + in.sampleHeaderSize, 0);
    }
    for (const XmSample& s : in.samples) out.insert(out.end(), s.data.begin(), s.data.end());
}
}  // namespace

std::vector<std::uint8_t> BuildXm(const XmModuleSketch& sketch) {
    std::vector<std::uint8_t> out;
    PutText(out, "Extended Module: ", 17);
    PutText(out, sketch.name, 20);
    out.push_back(0x1A);
    PutText(out, "builder", 20);
    PutLe16(out, 0x0104);
    PutLe32(out, sketch.headerSize);
    PutLe16(out, sketch.songLength);
    PutLe16(out, sketch.restartPosition);
    PutLe16(out, sketch.channels);
    PutLe16(out, sketch.patternCountOverride >= 0
                     ? static_cast<std::uint32_t>(sketch.patternCountOverride)
                     : static_cast<std::uint32_t>(sketch.patterns.size()));
    PutLe16(out, sketch.instrumentCountOverride >= 0
                     ? static_cast<std::uint32_t>(sketch.instrumentCountOverride)
                     : static_cast<std::uint32_t>(sketch.instruments.size()));
    PutLe16(out, sketch.flags);
    PutLe16(out, sketch.speed);
    PutLe16(out, sketch.tempo);
    for (int i = 0; i < 256; ++i) {
        out.push_back(i < static_cast<int>(sketch.orders.size()) ? sketch.orders[i] : 0);
    }
    out.resize(60 + sketch.headerSize, 0);
    for (const XmPattern& p : sketch.patterns) {
        const std::vector<std::uint8_t> packed =
            p.usePacked ? p.packed : PackCells(p, sketch.channels & 0xFF);
        PutLe32(out, 9);
        out.push_back(0);
        PutLe16(out, p.rows);
        PutLe16(out, static_cast<std::uint32_t>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }
    for (const XmInstrument& in : sketch.instruments) PutInstrument(out, in);
    return out;
}

std::vector<std::uint8_t> DeltaCode8(const std::vector<std::int8_t>& values) {
    std::vector<std::uint8_t> out;
    std::uint8_t previous = 0;
    for (const std::int8_t v : values) {
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint8_t>(v) - previous));
        previous = static_cast<std::uint8_t>(v);
    }
    return out;
}

std::vector<std::uint8_t> DeltaCode16(const std::vector<std::int16_t>& values) {
    std::vector<std::uint8_t> out;
    std::uint16_t previous = 0;
    for (const std::int16_t v : values) {
        const auto delta = static_cast<std::uint16_t>(static_cast<std::uint16_t>(v) - previous);
        out.push_back(static_cast<std::uint8_t>(delta));
        out.push_back(static_cast<std::uint8_t>(delta >> 8));
        previous = static_cast<std::uint16_t>(v);
    }
    return out;
}

XmModuleSketch OneNoteModule(const std::vector<std::int8_t>& values, std::uint8_t loopType,
                             std::uint32_t loopStart, std::uint32_t loopLength) {
    XmModuleSketch sketch;
    sketch.channels = 1;
    sketch.patterns[0].rows = 4;
    sketch.patterns[0].cells = {XmCell{49, 1, 0, 0, 0}};
    XmInstrument instrument;
    XmSample sample;
    sample.data = DeltaCode8(values);
    sample.type = loopType;
    sample.loopStart = loopStart;
    sample.loopLength = loopLength;
    instrument.samples.push_back(sample);
    sketch.instruments.push_back(instrument);
    return sketch;
}
