#include "music/sequencer.h"

#include <gtest/gtest.h>

#include "music/block_render.h"
#include "music/player.h"
#include "support/song_fixture.h"

namespace {

using Rows = std::vector<std::pair<int, int>>;

class Sequencer : public ::testing::Test {
protected:
    void TearDown() override { ResetMusicPlayer(); }
};

// A song of `orders` order positions over as many patterns of `rows` rows each.
XmModuleSketch OrderedModule(int channels, int orders, int rows) {
    XmModuleSketch sketch = SmallModule(channels, rows);
    sketch.patterns.assign(static_cast<std::size_t>(orders), XmPattern{});
    sketch.orders.clear();
    for (int i = 0; i < orders; ++i) {
        sketch.patterns[static_cast<std::size_t>(i)].rows = static_cast<std::uint16_t>(rows);
        sketch.orders.push_back(static_cast<std::uint8_t>(i));
    }
    sketch.songLength = static_cast<std::uint16_t>(orders);
    return sketch;
}

TEST_F(Sequencer, SpeedAndTempoSetTheLengthOfTicksAndRows) {
    XmModuleSketch sketch = SmallModule(2, 16);
    CellAt(sketch, 0, 1, 0) = {0, 0, 0, FX('F'), 0x1F};  // speed 31
    CellAt(sketch, 0, 2, 0) = {0, 0, 0, FX('F'), 0x20};  // tempo 32
    CellAt(sketch, 0, 3, 0) = {0, 0, 0, FX('F'), 0x06};
    CellAt(sketch, 0, 3, 1) = {0, 0, 0, FX('F'), 0x7D};  // tempo 125
    CellAt(sketch, 0, 4, 0) = {0, 0, 0, FX('F'), 0x00};  // every tick a new row
    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(songState.samplesPerTick, 960);

    const std::vector<RowMark> marks = PlayRows(170000);
    ASSERT_GE(marks.size(), 8u);
    const std::uint64_t expected[] = {0, 5760, 35520, 151770, 157530, 158490, 159450, 160410};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(marks[i].frame, expected[i]) << "row " << marks[i].row;
        EXPECT_EQ(marks[i].row, static_cast<int>(i));
    }
}

TEST_F(Sequencer, PatternBreaksGoToTheirRowOfTheNextOrder) {
    XmModuleSketch sketch = OrderedModule(1, 3, 64);
    CellAt(sketch, 0, 0, 0) = {0, 0, 0, FX('D'), 0x32};
    CellAt(sketch, 1, 32, 0) = {0, 0, 0, FX('D'), 0x0F};
    ASSERT_TRUE(LoadSketch(sketch));
    const Rows rows = Positions(PlayRows(4 * 5760 - 1));
    EXPECT_EQ(rows, (Rows{{0, 0}, {1, 32}, {2, 15}, {2, 16}}));
}

TEST_F(Sequencer, JumpAndBreakInEitherOrderOfChannels) {
    XmModuleSketch breakFirst = OrderedModule(4, 3, 8);
    CellAt(breakFirst, 0, 0, 0) = {0, 0, 0, FX('D'), 0x05};
    CellAt(breakFirst, 0, 0, 2) = {0, 0, 0, FX('B'), 0x02};
    ASSERT_TRUE(LoadSketch(breakFirst));
    EXPECT_EQ(Positions(PlayRows(2 * 5760 - 1)), (Rows{{0, 0}, {2, 0}}));

    XmModuleSketch jumpFirst = OrderedModule(4, 3, 8);
    CellAt(jumpFirst, 0, 0, 0) = {0, 0, 0, FX('B'), 0x02};
    CellAt(jumpFirst, 0, 0, 2) = {0, 0, 0, FX('D'), 0x05};
    ASSERT_TRUE(LoadSketch(jumpFirst));
    EXPECT_EQ(Positions(PlayRows(2 * 5760 - 1)), (Rows{{0, 0}, {2, 5}}));
}

TEST_F(Sequencer, JumpBeyondTheSongGoesToTheStartAndBreakOnTheLastOrderToo) {
    XmModuleSketch sketch = OrderedModule(1, 2, 4);
    CellAt(sketch, 0, 0, 0) = {0, 0, 0, FX('B'), 0x09};
    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(Positions(PlayRows(2 * 5760 - 1)), (Rows{{0, 0}, {0, 0}}));

    XmModuleSketch last = OrderedModule(1, 2, 4);
    CellAt(last, 1, 0, 0) = {0, 0, 0, FX('D'), 0x02};
    ASSERT_TRUE(LoadSketch(last));
    EXPECT_EQ(Positions(PlayRows(7 * 5760 - 1)),
              (Rows{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {0, 2}, {0, 3}}));
}

TEST_F(Sequencer, BreakToARowThePatternLacksPlaysItsFirstRow) {
    XmModuleSketch sketch = OrderedModule(1, 2, 8);
    CellAt(sketch, 0, 0, 0) = {0, 0, 0, FX('D'), 0x40};
    CellAt(sketch, 1, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(Positions(PlayRows(3 * 5760 - 1)), (Rows{{0, 0}, {1, 0}, {1, 1}}));
    EXPECT_NE(song.channels[0].voice->sample, nullptr) << "row 0's note was played";
}

TEST_F(Sequencer, PatternLoopPlaysItsRowsAgain) {
    XmModuleSketch sketch = OrderedModule(1, 1, 12);
    CellAt(sketch, 0, 4, 0) = {0, 0, 0, FX('E'), 0x60};
    CellAt(sketch, 0, 8, 0) = {0, 0, 0, FX('E'), 0x62};
    ASSERT_TRUE(LoadSketch(sketch));
    Rows expected = {{0, 0}, {0, 1}, {0, 2}, {0, 3}};
    for (int pass = 0; pass < 3; ++pass) {
        for (int row = 4; row <= 8; ++row) expected.push_back({0, row});
    }
    expected.push_back({0, 9});
    EXPECT_EQ(Positions(PlayRows(static_cast<std::uint64_t>(expected.size()) * 5760 - 1)),
              expected);
}

TEST_F(Sequencer, PatternDelayLengthensTheRowAndItsTickEffectsRunOnEveryTick) {
    XmModuleSketch sketch = SmallModule(2, 4);
    CellAt(sketch, 0, 0, 0) = {0, 0, 0, FX('E'), 0xE2};
    CellAt(sketch, 0, 0, 1) = {NOTE_C4, 1, 0x10 + 10, FX('A'), 0x10};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(18);
    EXPECT_EQ(song.channels[1].volume, 10 + 17);
    EXPECT_EQ(songState.tick, 0);
    EXPECT_EQ(songState.row, 0) << "the next row has not begun";

    ASSERT_TRUE(LoadSketch(sketch));
    const std::vector<RowMark> marks = PlayRows(4 * 5760);
    ASSERT_GE(marks.size(), 2u);
    EXPECT_EQ(marks[1].frame, 18u * 960);
}

TEST_F(Sequencer, EmptyPatternAdvancesRowsAndLeavesTheVoicesAlone) {
    XmModuleSketch sketch = OrderedModule(1, 2, 2);
    sketch.patterns[1].usePacked = true;  // no data: an empty pattern of 3 rows
    sketch.patterns[1].rows = 3;
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(2 * 6);
    const Voice before = *song.channels[0].voice;
    PlayTicks(1);
    ASSERT_EQ(songState.orderPosition, 1);
    PlayTicks(3 * 6 - 1);
    const Voice& after = *song.channels[0].voice;
    EXPECT_EQ(after.sample, before.sample);
    EXPECT_EQ(after.volume, before.volume);
    EXPECT_EQ(after.stepFraction, before.stepFraction);

    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(Positions(PlayRows(6 * 5760 - 1)),
              (Rows{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {0, 0}}));
}

TEST_F(Sequencer, SongEndGoesOnAtTheRestartPositionOrTheStart) {
    XmModuleSketch sketch = OrderedModule(1, 3, 1);
    sketch.restartPosition = 1;
    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(Positions(PlayRows(5 * 5760 - 1)), (Rows{{0, 0}, {1, 0}, {2, 0}, {1, 0}, {2, 0}}));

    sketch.restartPosition = 3;
    ASSERT_TRUE(LoadSketch(sketch));
    EXPECT_EQ(Positions(PlayRows(4 * 5760 - 1)), (Rows{{0, 0}, {1, 0}, {2, 0}, {0, 0}}));
}

TEST_F(Sequencer, MissingInstrumentPlaysNothing) {
    XmModuleSketch sketch = SmallModule(1, 4);
    sketch.instruments.clear();
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 0, 0, FX('4'), 0x88};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(12);
    EXPECT_EQ(song.channels[0].voice->volume, 0);
    const std::vector<RowMark> marks = PlayRows(48000);
    EXPECT_FALSE(marks.empty());
}

}  // namespace
