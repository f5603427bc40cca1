#include "music/xm_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "music/module_source.h"
#include "music/player.h"
#include "music/sequencer.h"
#include "music/song_arena.h"
#include "support/xm_builder.h"

namespace {
bool Load(const std::vector<std::uint8_t>& bytes) {
    ReleaseArena();
    const bool ok =
        OpenModuleSource(bytes.data(), bytes.size(), MUSIC_FROM_MEMORY) && LoadModule() != 0;
    CloseModuleSource();
    return ok;
}

class XmLoaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        ReleaseArena();
        song = Song{};
    }
};

XmInstrument InstrumentWith(XmSample sample) {
    XmInstrument instrument;
    instrument.samples.push_back(std::move(sample));
    return instrument;
}

XmSample Sample8(const std::vector<std::int8_t>& values, std::uint8_t type = 0,
                 std::uint32_t loopStart = 0, std::uint32_t loopLength = 0) {
    XmSample sample;
    sample.data = DeltaCode8(values);
    sample.type = type;
    sample.loopStart = loopStart;
    sample.loopLength = loopLength;
    return sample;
}
}  // namespace

TEST_F(XmLoaderTest, HeaderTitleAndLimits) {
    XmModuleSketch sketch;
    sketch.name = std::string("A\x01") + "b\x7F" + "\x80\xFF" + "c";
    sketch.channels = 0x0302;  // only the low 8 bits count
    sketch.tempo = 240;
    ASSERT_TRUE(Load(BuildXm(sketch)));
    EXPECT_STREQ(song.title,
                 "Ab\x7F"
                 "c");
    EXPECT_EQ(song.numChannels, 2);
    EXPECT_EQ(songState.samplesPerTick, 500);
    EXPECT_EQ(song.channels[1].voice, &song.voices[2]);
    sketch.name = "abcdefghijklmnopqrst";
    ASSERT_TRUE(Load(BuildXm(sketch)));
    EXPECT_STREQ(song.title, "abcdefghijklmnopqrst");

    const auto loads = [](auto change) {
        XmModuleSketch changed;
        change(changed);
        return Load(BuildXm(changed));
    };
    EXPECT_FALSE(loads([](XmModuleSketch& s) { s.songLength = 0; }));
    EXPECT_FALSE(loads([](XmModuleSketch& s) { s.songLength = 257; }));
    EXPECT_FALSE(loads([](XmModuleSketch& s) { s.patternCountOverride = 0; }));
    EXPECT_FALSE(loads([](XmModuleSketch& s) { s.channels = 65; }));
    EXPECT_FALSE(loads([](XmModuleSketch& s) { s.channels = 0x100; }));
    EXPECT_TRUE(loads([](XmModuleSketch& s) { s.channels = 64; }));
    EXPECT_TRUE(loads([](XmModuleSketch& s) { s.songLength = 256; }));
    EXPECT_FALSE(Load(std::vector<std::uint8_t>(100, 0)));
}

TEST_F(XmLoaderTest, EmptyAddedAndInvalidPatterns) {
    XmModuleSketch sketch;
    sketch.songLength = 3;
    sketch.orders = {0, 3, 1, 9};         // 9 lies beyond the song length and does not count
    sketch.patterns[0].usePacked = true;  // no packed bytes: empty, its rows unchecked
    sketch.patterns[0].rows = 300;
    ASSERT_TRUE(Load(BuildXm(sketch)));
    EXPECT_EQ(song.patterns[0].rows, 300);
    EXPECT_EQ(song.patterns[0].cells, nullptr);
    ASSERT_EQ(song.patternCount, 4);
    for (int p = 1; p < 4; ++p) {
        EXPECT_EQ(song.patterns[p].rows, 64);
        ASSERT_NE(song.patterns[p].cells, nullptr);
        for (int i = 0; i < 64 * 4; ++i) EXPECT_EQ(song.patterns[p].cells[i].note, 0);
    }

    XmModuleSketch withData;
    withData.patterns[0].rows = 0;
    withData.patterns[0].usePacked = true;
    withData.patterns[0].packed = {0x80};
    EXPECT_FALSE(Load(BuildXm(withData)));
    withData.patterns[0].rows = 257;
    withData.patterns[0].usePacked = false;
    EXPECT_FALSE(Load(BuildXm(withData)));
    withData.patterns[0].rows = 256;
    EXPECT_TRUE(Load(BuildXm(withData)));
}

TEST_F(XmLoaderTest, UnpacksCellsAndDropsUnknownInstruments) {
    XmModuleSketch sketch;
    sketch.channels = 2;
    sketch.patterns[0].rows = 2;
    sketch.patterns[0].usePacked = true;
    sketch.patterns[0].packed = {
        0x80 | 0x01 | 0x08,
        49,
        0x0C,  // note and effect only
        60,
        1,
        0x40,
        0x0F,
        0x06,  // unpacked: all five
        0x80 | 0x02 | 0x10,
        2,
        0x33,  // instrument 2 of 1: dropped
        0x80,  // nothing
    };
    sketch.instruments.push_back(XmInstrument{});
    sketch.instruments.back().headerSize = 29;
    ASSERT_TRUE(Load(BuildXm(sketch)));
    const Cell* c = song.patterns[0].cells;
    EXPECT_EQ(c[0].note, 49);
    EXPECT_EQ(c[0].instrument, 0);
    EXPECT_EQ(c[0].effect, 0x0C);
    EXPECT_EQ(c[0].parameter, 0);
    EXPECT_EQ(c[1].note, 60);
    EXPECT_EQ(c[1].instrument, 1);
    EXPECT_EQ(c[1].volume, 0x40);
    EXPECT_EQ(c[1].effect, 0x0F);
    EXPECT_EQ(c[1].parameter, 0x06);
    EXPECT_EQ(c[2].instrument, 0);
    EXPECT_EQ(c[2].parameter, 0x33);
    EXPECT_EQ(c[3].note, 0);
}

TEST_F(XmLoaderTest, DecodesSampleData) {
    XmModuleSketch sketch;
    XmInstrument instrument = InstrumentWith(Sample8({0, 127, -128, -1}));
    XmSample wide;
    wide.data = DeltaCode16({1000, -32768, 32767, 5});
    wide.type = 0x10;
    instrument.samples.push_back(wide);
    XmSample packed;  // deltas +1 and -2; codes: low nibble first
    packed.packing = 0xAD;
    packed.length = 3;
    packed.data = {1, 0xFE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x01};
    instrument.samples.push_back(packed);
    instrument.sampleForNote[10] = 2;
    sketch.instruments.push_back(instrument);
    ASSERT_TRUE(Load(BuildXm(sketch)));
    const Instrument& in = song.instruments[0];
    ASSERT_NE(in.samples[2], nullptr);
    EXPECT_EQ(in.samples[3], nullptr);
    EXPECT_EQ(in.sampleForNote[10], 2);
    const Sample& s8 = *in.samples[0];
    EXPECT_EQ(s8.length, 4u);
    EXPECT_EQ(std::vector<int>(s8.data, s8.data + 7),
              (std::vector<int>{0, 32512, -32768, -256, 0, 0, 0}));
    const Sample& s16 = *in.samples[1];
    EXPECT_EQ(s16.length, 4u);
    EXPECT_EQ(s16.is16Bit, 1);
    EXPECT_EQ(std::vector<int>(s16.data, s16.data + 5),
              (std::vector<int>{1000, -32768, 32767, 5, 0}));
    const Sample& s4 = *in.samples[2];
    EXPECT_EQ(std::vector<int>(s4.data, s4.data + 4), (std::vector<int>{256, -256, -768, 0}));
}

TEST_F(XmLoaderTest, SampleLengthsAndLoops) {
    XmModuleSketch sketch;
    XmSample wide;  // 1000 bytes of 16-bit data: 500 points, loop halved too
    wide.data.assign(1000, 0);
    wide.type = 0x10 | LOOP_FORWARD;
    wide.loopStart = 200;
    wide.loopLength = 600;
    XmInstrument instrument = InstrumentWith(wide);
    std::vector<std::int8_t> ramp{10, 20, 30, 40, 50, 60};
    instrument.samples.push_back(Sample8(ramp, LOOP_FORWARD, 2, 100));  // cut at the end
    instrument.samples.push_back(Sample8(ramp, LOOP_PINGPONG, 1, 2));
    instrument.samples.push_back(Sample8(ramp, LOOP_FORWARD, 3, 0));  // length 0: no loop
    instrument.samples.push_back(Sample8(ramp, LOOP_FORWARD, 9, 4));  // starts past the end
    sketch.instruments.push_back(instrument);
    ASSERT_TRUE(Load(BuildXm(sketch)));
    const Instrument& in = song.instruments[0];

    EXPECT_EQ(in.samples[0]->length, 500u);
    EXPECT_EQ(in.samples[0]->loopStart, 100u);
    EXPECT_EQ(in.samples[0]->loopLength, 300u);

    const Sample& cut = *in.samples[1];
    EXPECT_EQ(cut.loopStart, 2u);
    EXPECT_EQ(cut.loopLength, 4u);
    EXPECT_EQ(cut.loopType, LOOP_FORWARD);
    EXPECT_EQ(cut.data[6], 30 * 256);  // the guard repeats the loop's first value

    const Sample& pingpong = *in.samples[2];
    EXPECT_EQ(pingpong.data[3], 30 * 256);  // the loop's last value, over the real one
    EXPECT_EQ(pingpong.data[4], 50 * 256);

    for (int s : {3, 4}) {
        const Sample& none = *in.samples[s];
        EXPECT_EQ(none.loopType, LOOP_NONE);
        EXPECT_EQ(none.loopStart, 0u);
        EXPECT_EQ(none.loopLength, 6u);
        EXPECT_EQ(none.data[6], 0);
    }
}

TEST_F(XmLoaderTest, InstrumentHeaders) {
    XmModuleSketch sketch;
    XmInstrument empty;  // 29 bytes: the next instrument follows directly
    empty.headerSize = 29;
    sketch.instruments.push_back(empty);
    XmInstrument shaped = InstrumentWith(Sample8({1, 2}));
    shaped.fadeout = 0x9000;
    shaped.volumeEnvelope.points = {{0, 64}, {10, 0}};
    shaped.volumeEnvelope.type = ENVELOPE_ON | ENVELOPE_SUSTAIN;
    shaped.volumeEnvelope.sustain = 1;
    shaped.panningEnvelope.points = {{0, 32}};  // one point: switched off
    shaped.panningEnvelope.type = ENVELOPE_ON;
    sketch.instruments.push_back(shaped);
    ASSERT_TRUE(Load(BuildXm(sketch)));
    ASSERT_EQ(song.numInstruments, 2);
    EXPECT_EQ(song.instruments[0].samples[0], nullptr);
    const Instrument& in = song.instruments[1];
    ASSERT_NE(in.samples[0], nullptr);
    EXPECT_EQ(in.samples[0]->data[1], 2 * 256);
    EXPECT_EQ(in.fadeout, 0x2000);  // doubled in 16 bits
    EXPECT_EQ(in.volumeEnvelope.points[1].tick, 10);
    EXPECT_EQ(in.volumeEnvelope.type, ENVELOPE_ON | ENVELOPE_SUSTAIN);
    EXPECT_EQ(in.panningEnvelope.type, 0);
}

TEST_F(XmLoaderTest, RejectsBadInstrumentsAndTruncatedModules) {
    XmModuleSketch sketch = OneNoteModule({1, 2, 3, 4});
    const std::vector<std::uint8_t> good = BuildXm(sketch);
    ASSERT_TRUE(Load(good));
    // Cut anywhere inside the pattern or the instrument: rejected.
    for (std::size_t cut = 337; cut < good.size(); cut += 7) {
        EXPECT_FALSE(Load(std::vector<std::uint8_t>(good.begin(), good.begin() + cut))) << cut;
    }
    XmModuleSketch big = sketch;
    big.instruments[0].sampleHeaderSize = 41;
    EXPECT_FALSE(Load(BuildXm(big)));
    big = sketch;
    big.instruments[0].samples.assign(17, Sample8({1}));
    EXPECT_FALSE(Load(BuildXm(big)));
    // A few bytes claiming the largest samples there are: rejected before any of it is made.
    big = sketch;
    big.instruments[0].samples.assign(16, Sample8({1}));
    for (XmSample& s : big.instruments[0].samples) s.length = 0x3FFFFF;
    EXPECT_FALSE(Load(BuildXm(big)));
    EXPECT_LT(ArenaBytesInUse(), 1u << 20);
    big.instruments[0].samples[0].length = 0x400000;
    EXPECT_FALSE(Load(BuildXm(big)));
}

TEST_F(XmLoaderTest, MemoryReadsPastTheEnd) {
    const std::uint8_t bytes[4] = {1, 2, 3, 4};
    ASSERT_TRUE(OpenModuleSource(bytes, 4, MUSIC_FROM_MEMORY));
    std::uint8_t dest[6] = {9, 9, 9, 9, 9, 9};
    SeekModule(2, false);
    EXPECT_EQ(ReadModule(dest, 6), 2u);
    EXPECT_EQ(std::vector<int>(dest, dest + 6), (std::vector<int>{3, 4, 9, 9, 9, 9}));
    EXPECT_EQ(ModulePosition(), 8);
    EXPECT_EQ(ReadModule(dest, 1), 0u);
    SeekModule(-7, true);  // back within the module
    EXPECT_EQ(ModulePosition(), 2);
    SeekModule(5, false);  // beyond the end: ignored
    SeekModule(-3, true);  // before the start: ignored
    EXPECT_EQ(ModulePosition(), 2);
    CloseModuleSource();
}

TEST_F(XmLoaderTest, FileSourceReadsAsMemoryDoes) {
    // Large enough that reads cross several cache blocks.
    std::vector<std::int8_t> values(30000);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int8_t>(i * 7);
    XmModuleSketch sketch = OneNoteModule(values);
    sketch.instruments[0].samples.push_back(Sample8({5, 6, 7}));
    const std::vector<std::uint8_t> bytes = BuildXm(sketch);
    const auto path = std::filesystem::temp_directory_path() / "plemby_loader_test.xm";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    const std::string file = path.string();
    ASSERT_TRUE(OpenModuleSource(file.c_str(), 0, MUSIC_FROM_FILE));
    EXPECT_EQ(ModuleSize(), bytes.size());
    std::vector<std::uint8_t> read(bytes.size());
    for (std::size_t at = 0; at < read.size();) {  // odd pieces, one byte and whole blocks
        const std::uint32_t count = std::min<std::size_t>(at % 3 ? 1 : 9001, read.size() - at);
        ASSERT_EQ(ReadModule(read.data() + at, count), count);
        at += count;
    }
    EXPECT_EQ(read, bytes);
    CloseModuleSource();

    ReleaseArena();
    ASSERT_TRUE(OpenModuleSource(file.c_str(), 0, MUSIC_FROM_FILE));
    ASSERT_NE(LoadModule(), 0);
    CloseModuleSource();
    EXPECT_EQ(song.instruments[0].samples[0]->data[29999], values[29999] * 256);
    EXPECT_EQ(song.instruments[0].samples[1]->data[2], 7 * 256);
    std::filesystem::remove(path);

    EXPECT_FALSE(OpenModuleSource("/nonexistent/plemby.xm", 0, MUSIC_FROM_FILE));
    EXPECT_FALSE(
        OpenModuleSource(std::filesystem::temp_directory_path().c_str(), 0, MUSIC_FROM_FILE));
    EXPECT_FALSE(OpenModuleSource(MusicResource(4242), 0, 0));
}
