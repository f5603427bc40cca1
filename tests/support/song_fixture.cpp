#include "support/song_fixture.h"

#include <algorithm>

#include "music/block_render.h"
#include "music/player.h"
#include "music/sequencer.h"

XmCell& CellAt(XmModuleSketch& sketch, int pattern, int row, int channel) {
    XmPattern& p = sketch.patterns[static_cast<std::size_t>(pattern)];
    const auto index = static_cast<std::size_t>(row * sketch.channels + channel);
    if (p.cells.size() <= index) p.cells.resize(index + 1);
    return p.cells[index];
}

XmInstrument SquareInstrument(int length, std::uint8_t volume) {
    std::vector<std::int16_t> values(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        values[static_cast<std::size_t>(i)] = i < length / 2 ? 16000 : -16000;
    XmSample sample;
    sample.data = DeltaCode16(values);
    sample.type = 0x10 | 1;  // 16-bit, forward loop
    sample.loopStart = 0;
    sample.loopLength = static_cast<std::uint32_t>(2 * length);
    sample.volume = volume;
    XmInstrument instrument;
    instrument.samples.push_back(sample);
    return instrument;
}

XmModuleSketch SmallModule(int channels, int rows) {
    XmModuleSketch sketch;
    sketch.channels = static_cast<std::uint16_t>(channels);
    sketch.patterns[0].rows = static_cast<std::uint16_t>(rows);
    sketch.instruments.push_back(SquareInstrument());
    return sketch;
}

bool LoadSketch(const XmModuleSketch& sketch) {
    const std::vector<std::uint8_t> bytes = BuildXm(sketch);
    return LoadSong(bytes.data(), bytes.size(), MUSIC_FROM_MEMORY) != 0;
}

void PlayTicks(int n) {
    for (int i = 0; i < n; ++i) PlayTick();
}

std::vector<RowMark> PlayRows(std::uint64_t frames) {
    std::vector<RowMark> marks;
    RenderSongFrames(
        frames, [](const std::int16_t*, int) {}, &marks);
    return marks;
}

std::vector<std::pair<int, int>> Positions(const std::vector<RowMark>& marks) {
    std::vector<std::pair<int, int>> out;
    std::transform(marks.begin(), marks.end(), std::back_inserter(out), [](const RowMark& m) {
        return std::pair<int, int>{m.order, m.row};
    });
    return out;
}
