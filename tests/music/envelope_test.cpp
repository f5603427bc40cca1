#include "music/envelope.h"

#include <gtest/gtest.h>

#include <vector>

#include "music/pitch.h"
#include "music/voice_update.h"

namespace {

Instrument WithVolumeEnvelope(std::vector<std::pair<int, int>> points, std::uint8_t type,
                              int sustain = 0, int loopStart = 0, int loopEnd = 0) {
    Instrument in{};
    Envelope& e = in.volumeEnvelope;
    for (std::size_t i = 0; i < points.size(); ++i) {
        e.points[i] = {static_cast<std::uint16_t>(points[i].first),
                       static_cast<std::uint16_t>(points[i].second)};
    }
    e.pointCount = static_cast<std::uint8_t>(points.size());
    e.type = type;
    e.sustainPoint = static_cast<std::uint8_t>(sustain);
    e.loopStartPoint = static_cast<std::uint8_t>(loopStart);
    e.loopEndPoint = static_cast<std::uint8_t>(loopEnd);
    return in;
}

std::vector<int> StepVolume(ChannelState& c, const Instrument& in, int ticks) {
    std::vector<int> values;
    for (int i = 0; i < ticks; ++i) {
        StepEnvelope(c, in, EnvelopeKind::Volume);
        values.push_back(c.volumeEnvelope.value);
    }
    return values;
}

TEST(Pitch, LinearTableMiddleCAndAnOctaveUp) {
    EXPECT_EQ(NotePeriod(48, 0, true), 4608);
    EXPECT_EQ(PeriodFrequency(4608, 0, true), 8363u);
    const PitchStep step = FrequencyStep(8363);
    EXPECT_EQ(step.integer, 0u);
    EXPECT_EQ(step.fraction, 748308572u);
    EXPECT_EQ(PeriodFrequency(NotePeriod(60, 0, true), 0, true), 16726u);
    EXPECT_EQ(NotePeriod(48, -128, true), 4608 + 64) << "finetune -128 is a semitone down";
    EXPECT_EQ(NotePeriod(48, 127, true), 4608 - 63);
}

TEST(Pitch, AmigaTableMiddleCAndFinetuneBetweenNotes) {
    EXPECT_EQ(NotePeriod(48, 0, false), 1712);
    EXPECT_EQ(PeriodFrequency(1712, 0, false), 8363u);
    const std::int32_t up = NotePeriod(49, 0, false);
    const std::int32_t down = NotePeriod(47, 0, false);
    EXPECT_EQ(NotePeriod(48, 64, false), 1712 + (up - 1712) / 2);
    EXPECT_EQ(NotePeriod(48, -64, false), 1712 + (down - 1712) / 2);
}

TEST(Pitch, PeriodAtOrBelowZeroPlaysAtTheLowestFrequency) {
    EXPECT_EQ(PeriodFrequency(0, 0, false), 40u);
    EXPECT_EQ(PeriodFrequency(100, -100, true), 40u);
    EXPECT_EQ(PeriodFrequency(1, -2'000'000'000, true), 40u);
    const PitchStep step = FrequencyStep(96000);
    EXPECT_EQ(step.integer, 2u);
    EXPECT_EQ(step.fraction, 0u);
}

TEST(Envelope, FallsAlongItsSlopeAndStaysAtTheLastPoint) {
    const Instrument in = WithVolumeEnvelope({{0, 64}, {10, 0}}, ENVELOPE_ON);
    ChannelState c{};
    const std::vector<int> values = StepVolume(c, in, 13);
    EXPECT_EQ(values[0], 64);
    EXPECT_EQ(values[1], 57);  // 64 - 6.4
    EXPECT_EQ(values[5], 32);
    EXPECT_EQ(values[9], 6);
    EXPECT_EQ(values[10], 0) << "tick 10 reaches the last point";
    EXPECT_EQ(values[12], 0);
    EXPECT_TRUE(c.volumeEnvelope.ended);
    EXPECT_EQ(c.flags & CHANNEL_VOLUME, CHANNEL_VOLUME);
}

TEST(Envelope, HoldsAtTheSustainPointUntilKeyOff) {
    const Instrument in =
        WithVolumeEnvelope({{0, 64}, {4, 32}, {8, 0}}, ENVELOPE_ON | ENVELOPE_SUSTAIN, 1);
    ChannelState c{};
    std::vector<int> values = StepVolume(c, in, 20);
    EXPECT_EQ(values[4], 32);
    EXPECT_EQ(values[19], 32);
    c.keyOff = 1;
    values = StepVolume(c, in, 5);
    EXPECT_EQ(values[0], 32);
    EXPECT_EQ(values[1], 24);
    EXPECT_EQ(values[4], 0);
}

TEST(Envelope, LoopJumpsFromItsEndBackToItsStart) {
    const Instrument in = WithVolumeEnvelope({{0, 0}, {2, 20}, {4, 40}, {6, 60}, {8, 64}},
                                             ENVELOPE_ON | ENVELOPE_LOOP, 0, 1, 3);
    ChannelState c{};
    std::vector<int> values = StepVolume(c, in, 7);
    EXPECT_EQ(values[2], 20);
    EXPECT_EQ(values[4], 40);
    EXPECT_EQ(values[6], 20) << "point 3 sends it back to point 1";
    EXPECT_EQ(c.volumeEnvelope.tick, 3) << "one tick past point 1";
    values = StepVolume(c, in, 4);
    EXPECT_EQ(values[1], 40);
    EXPECT_EQ(values[3], 20);
    EXPECT_FALSE(c.volumeEnvelope.ended);
}

TEST(Envelope, SetPositionLandsBetweenPointsOrAtTheEnd) {
    const Instrument in = WithVolumeEnvelope({{0, 64}, {10, 0}, {20, 32}}, ENVELOPE_ON);
    ChannelState c{};
    SetVolumeEnvelopePosition(c, in, 5);
    EXPECT_EQ(c.volumeEnvelope.value, 32);
    EXPECT_EQ(c.volumeEnvelope.nextPoint, 1);
    StepVolume(c, in, 5);
    EXPECT_EQ(c.volumeEnvelope.value, 0) << "reaches point 1 at tick 10";
    SetVolumeEnvelopePosition(c, in, 200);
    EXPECT_TRUE(c.volumeEnvelope.ended);
    EXPECT_EQ(c.volumeEnvelope.value, 32);
}

TEST(Envelope, MalformedPointsStayWithinRange) {
    Instrument in = WithVolumeEnvelope({{0, 60000}, {5, 7}, {1, 64}, {3, 0}},
                                       ENVELOPE_ON | ENVELOPE_LOOP | ENVELOPE_SUSTAIN, 99, 200, 3);
    in.volumeEnvelope.pointCount = 255;
    ChannelState c{};
    for (int v : StepVolume(c, in, 50)) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 64);
    }
    SetVolumeEnvelopePosition(c, in, 255);
    SetVolumeEnvelopePosition(c, in, 0);
    EXPECT_LE(c.volumeEnvelope.value, 64);
}

TEST(Envelope, FadeoutFallsToSilenceAndStops) {
    Instrument in{};
    in.fadeout = 0x200;  // 0x100 in the file
    ChannelState c{};
    c.fadeoutVolume = FULL_FADEOUT_VOLUME;
    for (int i = 0; i < 127; ++i) ApplyFadeout(c, in);
    EXPECT_EQ(c.fadeoutVolume, 512);
    ApplyFadeout(c, in);
    ApplyFadeout(c, in);
    EXPECT_EQ(c.fadeoutVolume, 0);
}

TEST(AutoVibrato, SweepGrowsTheDepthOverItsTicks) {
    Instrument in{};
    in.vibratoWaveform = 1;  // square: +64 while the position is in its first half
    in.vibratoDepth = 16;
    in.vibratoSweep = 10;
    ChannelState c{};
    std::vector<int> offsets;
    for (int tick = 0; tick < 13; ++tick) {
        c.pitchOffset = 0;
        ApplyAutoVibrato(c, in);
        offsets.push_back(c.pitchOffset);
    }
    EXPECT_EQ(offsets[0], 0);
    EXPECT_EQ(offsets[1], 1);
    EXPECT_EQ(offsets[5], 8);
    EXPECT_EQ(offsets[10], 16);
    EXPECT_EQ(offsets[12], 16);
    for (std::size_t i = 1; i < offsets.size(); ++i) EXPECT_GE(offsets[i], offsets[i - 1]);
}

class VoiceUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        savedFlags = song.flags;
        savedGlobalVolume = songState.globalVolume;
        songState.globalVolume = 64;
        song.flags = SONG_LINEAR_FREQUENCIES;
        channel.voice = &voices[0];
        channel.volume = 64;
        channel.panning = 128;
        channel.volumeEnvelope.value = 64;
        channel.panningEnvelope.value = 32;
        channel.fadeoutVolume = FULL_FADEOUT_VOLUME;
        channel.period = 4608;
        sample.length = 16;
        sample.loopLength = 16;
        sample.data = data;
    }
    void TearDown() override {
        song.flags = savedFlags;
        songState.globalVolume = savedGlobalVolume;
    }

    void Update(std::uint8_t flags) {
        channel.flags = flags;
        UpdateVoice(channel, voices, &sample, instrument);
    }

    Voice voices[2]{};
    ChannelState channel{};
    Instrument instrument{};
    std::int16_t data[19]{};
    Sample sample{};
    std::uint16_t savedFlags = 0;
    std::int32_t savedGlobalVolume = 0;
};

TEST_F(VoiceUpdate, FullVolumeInTheMiddleGivesEqualTargets) {
    Update(CHANNEL_VOLUME | CHANNEL_PANNING | CHANNEL_PITCH);
    EXPECT_EQ(voices[0].volume, 127);
    EXPECT_EQ(voices[0].panning, 128);
    EXPECT_EQ(voices[0].rightTarget, 63);
    EXPECT_EQ(voices[0].leftTarget, 63);
    EXPECT_EQ(voices[0].stepFraction, 748308572u);
}

TEST_F(VoiceUpdate, PanningEnvelopeAndHardRight) {
    channel.panning = 255;
    Update(CHANNEL_VOLUME | CHANNEL_PANNING);
    EXPECT_EQ(voices[0].rightTarget, 127);
    EXPECT_EQ(voices[0].leftTarget, 0);

    channel.panning = 128;
    channel.panningEnvelope.value = 0;  // all the way left
    Update(CHANNEL_PANNING);
    EXPECT_EQ(voices[0].panning, 0);
    EXPECT_EQ(voices[0].leftTarget, 127);

    channel.panning = -5000;  // the volume column's slides are not limited
    channel.panningEnvelope.value = 64;
    Update(CHANNEL_PANNING);
    EXPECT_EQ(voices[0].panning, 0);
}

TEST_F(VoiceUpdate, VolumeOutsideItsRangeIsLimited) {
    channel.volume = 1'000'000;
    songState.globalVolume = -7;
    Update(CHANNEL_VOLUME);
    EXPECT_EQ(voices[0].volume, 0);
    channel.volume = -1'000'000;
    Update(CHANNEL_VOLUME);
    EXPECT_EQ(voices[0].volume, 127) << "two negative factors multiply as the rule says";
    songState.globalVolume = 1000;
    channel.volume = 2'000'000'000;
    channel.tremoloOffset = 2'000'000'000;
    Update(CHANNEL_VOLUME);
    EXPECT_EQ(voices[0].volume, 127);
}

TEST_F(VoiceUpdate, StartOnASoundingVoiceSwitchesToTheOtherOne) {
    Update(CHANNEL_START_SAMPLE | CHANNEL_VOLUME | CHANNEL_PANNING);
    EXPECT_EQ(channel.voice, &voices[0]);
    voices[0].position = 9;
    voices[0].currentRight = 50 * 128;
    Update(CHANNEL_START_SAMPLE | CHANNEL_VOLUME);
    EXPECT_EQ(channel.voice, &voices[1]);
    EXPECT_EQ(voices[0].position, 9) << "the old note plays on";
    EXPECT_EQ(voices[0].rightTarget, 0);
    EXPECT_EQ(voices[0].leftTarget, 0);
    EXPECT_EQ(voices[1].position, 0);
    EXPECT_EQ(voices[1].currentRight, 0);
    EXPECT_EQ(voices[1].rightTarget, 63);
    Update(CHANNEL_START_SAMPLE);
    EXPECT_EQ(channel.voice, &voices[0]) << "and back again";
}

}  // namespace
