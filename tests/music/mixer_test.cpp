#include "music/mixer.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "music/vector_code.h"
#include "music/voice.h"

namespace {
// A sample with its guard values laid out as the loader leaves them.
struct TestSample {
    std::vector<std::int16_t> values;
    Sample sample{};

    TestSample(std::vector<std::int16_t> data, std::uint8_t loopType, std::uint32_t loopStart,
               std::uint32_t loopLength)
        : values(std::move(data)) {
        sample.length = static_cast<std::uint32_t>(values.size());
        sample.loopType = loopType;
        sample.loopStart = loopType == LOOP_NONE ? 0 : loopStart;
        sample.loopLength = loopType == LOOP_NONE ? sample.length : loopLength;
        values.resize(values.size() + SAMPLE_GUARD_VALUES, 0);
        values.shrink_to_fit();  // so that a read past the guards meets the sanitizer
        const std::uint32_t end = sample.loopStart + sample.loopLength;
        if (loopType == LOOP_FORWARD) values[end] = values[sample.loopStart];
        if (loopType == LOOP_PINGPONG) values[end] = values[end - 1];
        sample.data = values.data();
    }
};

// A voice already at its targets (no ramp) at the given pitch step.
Voice SettledVoice(Sample& sample, std::int32_t left, std::int32_t right, std::uint32_t stepInteger,
                   std::uint32_t stepFraction = 0) {
    Voice voice{};
    voice.sample = &sample;
    voice.leftTarget = left;
    voice.rightTarget = right;
    voice.currentLeft = left * 128;
    voice.currentRight = right * 128;
    voice.stepInteger = stepInteger;
    voice.stepFraction = stepFraction;
    return voice;
}

// What one frame of interpolated value s adds to a side at a volume in 1/128 steps.
std::int32_t Share(std::int64_t s, std::int64_t volume) {
    const std::int64_t x = s * volume;
    const auto a = static_cast<std::int32_t>((x >> 6) + (x < 0 ? 1 : 0));
    return a >> 1;
}

std::vector<std::int32_t> Mix(Voice& voice, int frames) {
    std::vector<std::int32_t> accumulator(2 * static_cast<std::size_t>(frames), 0);
    MixVoice(voice, accumulator.data(), 0, frames);
    return accumulator;
}
}  // namespace

TEST(MixerTest, SettledVoiceAddsTheValueTimes8128AtFullVolume) {
    TestSample sample({1000, -2000, 3000}, LOOP_FORWARD, 2, 1);
    Voice voice = SettledVoice(sample.sample, 0, 127, 1);
    const std::vector<std::int32_t> sums = Mix(voice, 6);
    // Step 1.0 over a loop of length 1 reads its one value every frame after the loop start.
    const std::vector<std::int32_t> right = {1000 * 8128, -2000 * 8128, 3000 * 8128,
                                             3000 * 8128, 3000 * 8128,  3000 * 8128};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(sums[2 * i], 0) << i;
        EXPECT_EQ(sums[2 * i + 1], right[i]) << i;
    }
    EXPECT_EQ(voice.position, 2);
}

TEST(MixerTest, InterpolatesAndEndsASampleWithoutLoop) {
    TestSample sample({0, 1000, -1000, 400}, LOOP_NONE, 0, 0);
    Voice voice = SettledVoice(sample.sample, 100, 50, 0, 0x80000000u);  // step 0.5
    const std::vector<std::int32_t> sums = Mix(voice, 12);
    const std::vector<std::int64_t> s = {0,          500 * 64,  1000 * 64, 0,
                                         -1000 * 64, -300 * 64, 400 * 64,  200 * 64};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(sums[2 * i], Share(s[i], 100 * 128)) << i;
        EXPECT_EQ(sums[2 * i + 1], Share(s[i], 50 * 128)) << i;
    }
    for (int i = 16; i < 24; ++i) EXPECT_EQ(sums[i], 0);
    EXPECT_EQ(voice.sample, nullptr);
    EXPECT_EQ(voice.position, 0);
    EXPECT_EQ(voice.positionFraction, 0u);
}

TEST(MixerTest, PingPongTurnsAtBothEnds) {
    TestSample sample({100, 1000, 2000, 3000}, LOOP_PINGPONG, 1, 3);
    Voice voice = SettledVoice(sample.sample, 0, 127, 1);
    const std::vector<std::int32_t> sums = Mix(voice, 14);
    // Forward to the end, where the guard repeats the loop's last value, back to the start.
    const std::vector<int> heard = {100,  1000, 2000, 3000, 3000, 3000, 2000,
                                    1000, 2000, 3000, 3000, 3000, 2000, 1000};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(sums[2 * i + 1], heard[i] * 8128) << i;
    EXPECT_EQ(voice.direction, VOICE_FORWARD);
}

TEST(MixerTest, RampsLast128FramesAndRestartOnAChange) {
    TestSample sample({100}, LOOP_FORWARD, 0, 1);
    Voice voice = SettledVoice(sample.sample, 127, 64, 1);
    voice.currentLeft = 0;  // a new note: up from silence
    voice.currentRight = 0;
    std::vector<std::int32_t> sums = Mix(voice, 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(sums[2 * i], Share(6400, 127 * i)) << i;
        EXPECT_EQ(sums[2 * i + 1], Share(6400, 64 * i)) << i;
    }
    EXPECT_EQ(voice.rampFramesLeft, RAMP_FRAMES - 40);

    voice.leftTarget = 0;  // the second ramp starts from where the first stands
    sums = Mix(voice, 200);
    const std::int32_t from = 127 * 40;
    const std::int32_t step = (0 - from) >> 7;
    for (int i = 0; i < 128; ++i) EXPECT_EQ(sums[2 * i], Share(6400, from + step * i)) << i;
    const std::int32_t settled = from + step * 128;  // a hair below 0: the steps round down
    EXPECT_LT(settled, 0);
    for (int i = 128; i < 200; ++i) EXPECT_EQ(sums[2 * i], Share(6400, settled)) << i;
    EXPECT_EQ(voice.rampFramesLeft, 0);
    EXPECT_EQ(voice.leftRampStep, 0);
    EXPECT_EQ(voice.currentRight, 64 * 40 + ((64 * 128 - 64 * 40) >> 7) * 128);
}

TEST(MixerTest, EmptySamplesAndOddSteps) {
    TestSample empty({}, LOOP_NONE, 0, 0);
    Voice voice = SettledVoice(empty.sample, 127, 127, 1);
    EXPECT_EQ(Mix(voice, 8), std::vector<std::int32_t>(16, 0));
    EXPECT_EQ(voice.sample, nullptr);

    // A step too small to divide by becomes about 40 Hz.
    TestSample tone({5, 5, 5, 5}, LOOP_FORWARD, 0, 4);
    voice = SettledVoice(tone.sample, 127, 127, 0, 0);
    Mix(voice, 100);
    EXPECT_EQ(voice.stepFraction, 0x369D00u);
    EXPECT_EQ(voice.positionFraction, 100u * 0x369D00u);

    // Steps far beyond the loop, forward and ping-pong, stay within the sample's values.
    TestSample shortLoop({1, 2, 3, 4, 5, 6}, LOOP_PINGPONG, 2, 2);
    for (std::uint32_t integer : {3u, 7u, 300u, 70000u}) {
        voice = SettledVoice(shortLoop.sample, 127, 127, integer, 0x12345678);
        Mix(voice, 1024);
        ASSERT_NE(voice.sample, nullptr);
        EXPECT_GE(voice.position, 2);
        EXPECT_LE(voice.position, 4);
    }

    // A huge sample at the lowest pitch: the frame count to its end exceeds 32 bits.
    std::vector<std::int16_t> big(MAX_SAMPLE_POINTS - 1, 7);
    TestSample huge(std::move(big), LOOP_NONE, 0, 0);
    voice = SettledVoice(huge.sample, 127, 127, 0, 1);
    const std::vector<std::int32_t> sums = Mix(voice, 64);
    EXPECT_EQ(sums[127], 7 * 8128);
    EXPECT_NE(voice.sample, nullptr);
}

TEST(MixerTest, SumsWrapAround) {
    TestSample sample({32767}, LOOP_FORWARD, 0, 1);
    Voice voice = SettledVoice(sample.sample, 127, 127, 1);
    std::vector<std::int32_t> accumulator = {INT32_MAX, INT32_MIN};
    MixVoice(voice, accumulator.data(), 0, 1);
    EXPECT_EQ(accumulator[0],
              static_cast<std::int32_t>(static_cast<std::uint32_t>(INT32_MAX) + 32767u * 8128u));
}

TEST(MixerTest, EveryBuildGivesThePortableSums) {
    // The AVX2 build where the processor has one, the baseline vector build, the portable one.
    std::vector<CodeBuild> builds = {CodeBuild::BASELINE};
    if (UseCodeBuild(CodeBuild::AVX2) == CodeBuild::AVX2) builds.push_back(CodeBuild::AVX2);
    std::uint32_t x = 2024;
    const auto next = [&x](std::uint32_t range) {
        x = x * 1664525u + 1013904223u;
        return (x >> 8) % range;
    };
    std::vector<std::int16_t> values(300);
    for (std::int16_t& v : values) v = static_cast<std::int16_t>(next(65536) - 32768);
    values[7] = -32768;  // the widest differences between neighbours
    values[8] = 32767;
    values[20] = -32768;  // and the lowest value held
    values[21] = -32768;
    const TestSample samples[] = {{values, LOOP_NONE, 0, 0},
                                  {values, LOOP_FORWARD, 37, 200},
                                  {values, LOOP_PINGPONG, 5, 290},
                                  {{values.begin(), values.begin() + 3}, LOOP_PINGPONG, 1, 2}};
    for (int round = 0; round < 400; ++round) {
        const TestSample& sample = samples[round % 4];
        Voice voice =
            SettledVoice(const_cast<Sample&>(sample.sample), static_cast<std::int32_t>(next(128)),
                         static_cast<std::int32_t>(next(128)), next(4), next(1u << 24) << 8);
        // Volumes mid-ramp, settled and far beyond the nominal range, at the edges of 16 bits;
        // both directions; steps below and above one point a frame.
        if (round % 3 != 0) voice.currentLeft = static_cast<std::int32_t>(next(40000)) - 20000;
        if (round % 5 != 0) voice.currentRight = static_cast<std::int32_t>(next(300)) - 150;
        if (round % 7 == 0) voice.currentLeft = static_cast<std::int32_t>(next(1u << 20)) - 40000;
        if (round % 11 == 0) voice.currentRight = round % 2 == 0 ? -32768 : 32767;
        if (round % 2 == 1) voice.stepFraction |= next(256);  // the lowest bits of the step
        voice.position = static_cast<std::int32_t>(next(sample.sample.length));
        voice.positionFraction = next(1u << 24) << 8 | next(256);
        if (sample.sample.loopType == LOOP_PINGPONG) {
            voice.position = static_cast<std::int32_t>(sample.sample.loopStart) + 1;
            voice.direction = static_cast<std::uint8_t>(next(2));
        }
        const Voice start = voice;
        std::vector<std::int32_t> portable(2 * BLOCK_FRAMES, 5);
        // Slices of odd lengths, as the ticks cut a block.
        const std::pair<int, int> slices[] = {{0, 333}, {333, 1}, {334, 690}};
        UseCodeBuild(CodeBuild::PORTABLE);
        for (const auto& [first, count] : slices) MixVoice(voice, portable.data(), first, count);
        for (const CodeBuild build : builds) {
            Voice vectorVoice = start;
            std::vector<std::int32_t> vector(2 * BLOCK_FRAMES, 5);
            for (const auto& [first, count] : slices) {
                UseCodeBuild(build);
                MixVoice(vectorVoice, vector.data(), first, count);
                UseCodeBuild(CodeBuild::PORTABLE);
            }
            const int b = static_cast<int>(build);
            ASSERT_EQ(vector, portable) << "round " << round << " build " << b;
            EXPECT_EQ(vectorVoice.position, voice.position) << b;
            EXPECT_EQ(vectorVoice.positionFraction, voice.positionFraction) << b;
            EXPECT_EQ(vectorVoice.currentLeft, voice.currentLeft) << b;
            EXPECT_EQ(vectorVoice.currentRight, voice.currentRight) << b;
        }
    }
    UseCodeBuild(CodeBuild::AVX2);
}
