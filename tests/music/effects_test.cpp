#include "music/effects.h"

#include <gtest/gtest.h>

#include "music/block_render.h"
#include "music/pitch.h"
#include "music/player.h"
#include "music/sequencer.h"
#include "support/song_fixture.h"

namespace {

class Effects : public ::testing::Test {
protected:
    void TearDown() override { ResetMusicPlayer(); }
    static ChannelState& Channel(int c = 0) { return song.channels[c]; }
    static const Voice& ActiveVoice(int c = 0) { return *song.channels[c].voice; }
};

PitchStep StepOf(std::uint32_t hz) { return FrequencyStep(hz); }

TEST_F(Effects, ArpeggioStepsThroughItsThreeNotesInBothTables) {
    for (const bool linear : {true, false}) {
        XmModuleSketch sketch = SmallModule(1, 2);
        sketch.flags = linear ? 1 : 0;
        sketch.speed = 3;
        CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, FX('0'), 0x47};
        ASSERT_TRUE(LoadSketch(sketch));
        const std::int32_t base = NotePeriod(48, 0, linear);
        for (int tick = 0; tick < 3; ++tick) {
            PlayTicks(1);
            const int semitones = tick == 0 ? 0 : tick == 1 ? 4 : 7;
            const std::uint32_t hz =
                linear ? PeriodFrequency(base - 64 * semitones, 0, true)
                       : PeriodFrequency(NotePeriod(48 + semitones, 0, false), 0, false);
            EXPECT_EQ(ActiveVoice().stepFraction, StepOf(hz).fraction)
                << (linear ? "linear" : "Amiga") << " tick " << tick;
        }
    }
}

TEST_F(Effects, VolumeSlidesPassTheLimitsAndComeBackFromThere) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 4, FX('A'), 0x0F};  // 4 - 5 x 15
    CellAt(sketch, 0, 1, 0) = {0, 0, 0, FX('A'), 0x20};               // up 2 a tick
    CellAt(sketch, 0, 2, 0) = {0, 0, 0x10 + 64, FX('A'), 0xF0};       // 64 + 5 x 15
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(6);
    EXPECT_EQ(Channel().volume, -71);
    EXPECT_EQ(ActiveVoice().volume, 0);
    PlayTicks(6);
    EXPECT_EQ(Channel().volume, -61);
    EXPECT_EQ(ActiveVoice().volume, 0);
    PlayTicks(6);
    EXPECT_EQ(Channel().volume, 139);
    EXPECT_EQ(ActiveVoice().volume, 127);
}

TEST_F(Effects, FineVolumeSlidesShareOneMemoryWithItsDirection) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 32, FX('E'), 0xA3};
    CellAt(sketch, 0, 1, 0) = {0, 0, 0, FX('E'), 0xB0};
    CellAt(sketch, 0, 2, 0) = {0, 0, 0, FX('E'), 0xB2};
    CellAt(sketch, 0, 3, 0) = {0, 0, 0, FX('E'), 0xA0};
    ASSERT_TRUE(LoadSketch(sketch));
    const int expected[] = {35, 38, 36, 34};
    for (int row = 0; row < 4; ++row) {
        PlayTicks(6);
        EXPECT_EQ(Channel().volume, expected[row]) << "row " << row;
    }
}

TEST_F(Effects, TremorIsTwoTicksOnAndTwoOffAcrossRows) {
    XmModuleSketch sketch = SmallModule(1, 4);
    sketch.speed = 3;
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 40, FX('T'), 0x11};
    for (int row = 1; row < 4; ++row) CellAt(sketch, 0, row, 0) = {0, 0, 0, FX('T'), 0x00};
    ASSERT_TRUE(LoadSketch(sketch));
    for (int tick = 0; tick < 12; ++tick) {
        PlayTicks(1);
        const bool on = tick % 4 < 2;
        EXPECT_EQ(ActiveVoice().volume > 0, on) << "tick " << tick;
    }
}

TEST_F(Effects, KeyOffWithoutEnvelopeSilencesAtOnce) {
    for (const XmCell off : {XmCell{KEY_OFF_NOTE, 0, 0, 0, 0}, XmCell{0, 0, 0, FX('K'), 0x00}}) {
        XmModuleSketch sketch = SmallModule(1, 4);
        CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
        CellAt(sketch, 0, 1, 0) = off;
        ASSERT_TRUE(LoadSketch(sketch));
        PlayTicks(6);
        EXPECT_GT(ActiveVoice().volume, 0);
        PlayTicks(1);
        EXPECT_EQ(ActiveVoice().volume, 0);
        EXPECT_EQ(ActiveVoice().rightTarget, 0);
    }
}

TEST_F(Effects, KeyOffReleasesTheSustainAndStartsTheFadeout) {
    for (const XmCell off : {XmCell{KEY_OFF_NOTE, 0, 0, 0, 0}, XmCell{0, 0, 0, FX('K'), 0x00}}) {
        XmModuleSketch sketch = SmallModule(1, 64);
        XmInstrument& in = sketch.instruments[0];
        in.volumeEnvelope = {{{0, 64}, {2, 48}, {200, 0}}, 1, 0, 0, 1 | 2};
        in.fadeout = 0x100;
        CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
        CellAt(sketch, 0, 1, 0) = off;
        ASSERT_TRUE(LoadSketch(sketch));
        PlayTicks(6);
        EXPECT_EQ(Channel().volumeEnvelope.value, 48) << "held at the sustain point";
        PlayTicks(127);
        EXPECT_EQ(Channel().fadeoutVolume, 512);
        EXPECT_LT(Channel().volumeEnvelope.value, 48) << "moving on past the sustain point";
        PlayTicks(1);
        EXPECT_EQ(Channel().fadeoutVolume, 0) << "silent 128 ticks after key off";
        EXPECT_EQ(ActiveVoice().volume, 0);
    }
}

TEST_F(Effects, SampleOffsetWithoutANoteWaitsForTheNextNote) {
    XmModuleSketch sketch = SmallModule(1, 4);
    sketch.instruments[0] = SquareInstrument(4096);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    CellAt(sketch, 0, 1, 0) = {0, 0, 0, FX('9'), 0x08};
    CellAt(sketch, 0, 2, 0) = {NOTE_C4, 0, 0, 0, 0};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(7);
    EXPECT_EQ(ActiveVoice().startOffset, 0x800);
    const Voice* before = &ActiveVoice();
    PlayTicks(6);
    EXPECT_NE(&ActiveVoice(), before) << "the new note plays on the other voice";
    EXPECT_EQ(ActiveVoice().position, 0x800);
    EXPECT_EQ(ActiveVoice().startOffset, 0);
}

TEST_F(Effects, ToneSlideMovesTowardTheNoteAndStopsOnIt) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    CellAt(sketch, 0, 1, 0) = {NOTE_C4 + 1, 0, 0, FX('3'), 0x05};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(7);
    const Voice* voice = &ActiveVoice();
    EXPECT_EQ(Channel().period, 4608) << "the row tick does not move";
    PlayTicks(1);
    EXPECT_EQ(Channel().period, 4608 - 20);
    PlayTicks(4);
    EXPECT_EQ(Channel().period, 4608 - 64) << "stops on the target";
    EXPECT_EQ(&ActiveVoice(), voice) << "the sample is not started again";
}

TEST_F(Effects, NoteDelayStartsTheNoteOnItsTick) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 20, FX('E'), 0xD3};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(3);
    EXPECT_EQ(ActiveVoice().sample, nullptr);
    PlayTicks(1);
    EXPECT_NE(ActiveVoice().sample, nullptr);
    EXPECT_EQ(Channel().volume, 20) << "the volume column applies with the delayed note";
}

TEST_F(Effects, RetriggersStartTheSampleAgainOnTheirTicks) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, FX('E'), 0x92};
    ASSERT_TRUE(LoadSketch(sketch));
    int starts = 0;
    const Voice* voice = nullptr;
    for (int tick = 0; tick < 6; ++tick) {
        PlayTicks(1);
        if (song.channels[0].voice != voice) ++starts;
        voice = song.channels[0].voice;
    }
    EXPECT_EQ(starts, 3) << "the note at tick 0, again at ticks 2 and 4";
}

TEST_F(Effects, MultiRetriggerVolumeChangesRunOnWithoutLimits) {
    XmModuleSketch sketch = SmallModule(1, 64);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 40, FX('R'), 0xF1};
    for (int row = 1; row < 64; ++row) CellAt(sketch, 0, row, 0) = {0, 0, 0, FX('R'), 0x00};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(2);
    EXPECT_EQ(Channel().volume, 80);
    PlayTicks(62 * 6);
    EXPECT_EQ(ActiveVoice().volume, 127);
    PlayRows(48000);  // keeps playing, a doubled volume held within range
}

TEST_F(Effects, VibratoSwingsThePitchAroundTheNote) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, FX('4'), 0x8F};
    ASSERT_TRUE(LoadSketch(sketch));
    int lowest = 0;
    int highest = 0;
    for (int tick = 0; tick < 6; ++tick) {
        PlayTicks(1);
        lowest = std::min(lowest, Channel().pitchOffset);
        highest = std::max(highest, Channel().pitchOffset);
    }
    EXPECT_EQ(highest, (127 * 15 >> 5) >> 1);
    EXPECT_LT(lowest, 0);
    EXPECT_EQ(Channel().period, 4608) << "vibrato leaves the period itself alone";
}

TEST_F(Effects, TremoloThatEndsLeavesTheVolumeAtItsLastSwing) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0x10 + 32, FX('7'), 0x4F};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(6);
    const std::int32_t swing = Channel().tremoloOffset;
    EXPECT_EQ(swing, 127 * 15 >> 5) << "position 16 on the last tick of the row";
    PlayTicks(1);
    EXPECT_EQ(Channel().volume, 32 + swing);
    EXPECT_EQ(Channel().tremoloOffset, 0);
}

TEST_F(Effects, VolumeColumnPortamentoWithANoteSoundsItWithoutARestart) {
    XmModuleSketch sketch = SmallModule(1, 4);
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, 0, 0};
    CellAt(sketch, 0, 1, 0) = {NOTE_C4 + 12, 0, 0xF1, 0, 0};
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(6);
    const Voice* voice = &ActiveVoice();
    PlayTicks(1);
    EXPECT_EQ(Channel().period, 4608 - 12 * 64);
    EXPECT_EQ(&ActiveVoice(), voice);
}

TEST_F(Effects, FinetuneEnvelopePositionAndGlobalVolume) {
    XmModuleSketch sketch = SmallModule(2, 4);
    sketch.instruments[0].volumeEnvelope = {{{0, 64}, {10, 0}, {20, 64}}, 0, 0, 0, 1};
    CellAt(sketch, 0, 0, 0) = {NOTE_C4, 1, 0, FX('E'), 0x58};  // for the notes after this one
    CellAt(sketch, 0, 0, 1) = {NOTE_C4, 1, 0, FX('G'), 0x20};
    CellAt(sketch, 0, 1, 0) = {NOTE_C4, 1, 0, FX('L'), 5};  // halfway down the first slope
    CellAt(sketch, 0, 1, 1) = {0, 0, 0, FX('H'), 0x02};
    CellAt(sketch, 0, 2, 1) = {0, 0, 0, FX('H'), 0x00};  // the song's own slide memory
    ASSERT_TRUE(LoadSketch(sketch));
    PlayTicks(1);
    EXPECT_EQ(Channel().period, 4608);
    EXPECT_EQ(songState.globalVolume, 32);
    PlayTicks(6);
    EXPECT_EQ(Channel().period, 4608 - 8 / 2);
    EXPECT_EQ(Channel().volumeEnvelope.value, 32);
    PlayTicks(1);
    EXPECT_EQ(Channel().volumeEnvelope.value, 25);
    PlayTicks(10);
    EXPECT_EQ(songState.globalVolume, 32 - 2 * 10);
}

}  // namespace
