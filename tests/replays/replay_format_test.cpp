#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "replays/replay.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;
constexpr std::size_t CHECKSUM_SIZE = 4;

// A game as the frame loop gives it: a frame every 20 ms that wakes up to `lateness` ms after
// its deadline, a reading or two per frame, a late frame now and then that the next ones catch
// up on, actions that change every few frames, a pause, and a sound's draw here and there.
Replay LongGame(int frames, int lateness, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Replay replay;
    replay.start = {0xDEADBEEFu, 7, 5, 3, 2, 1, 1, {0, 3, 1, 0, 1, 10, 0, 1, 1, 6}, 1};
    std::int64_t last = 123456789;
    std::uint8_t actions = 0;
    for (int index = 0; index < frames; ++index) {
        ReplayFrame frame;
        if (rng() % 12 == 0) actions ^= static_cast<std::uint8_t>(1u << (rng() % 6));
        frame.actions = actions;
        const bool paused = index > frames / 3 && index < frames / 3 + 500;
        frame.flags = static_cast<std::uint8_t>((paused ? REPLAY_PAUSED : 0) |
                                                (index > frames / 2 ? REPLAY_TURN_REVERSED : 0));
        std::int64_t now =
            123456789 + FRAME_MS * index + static_cast<std::int64_t>(rng() % (lateness + 1));
        if (index % 2000 == 1999) now += 75;
        if (now < last) now = last;
        frame.readingCount = paused ? 0 : static_cast<std::uint8_t>(1 + (rng() % 8 == 0));
        for (int k = 0; k < frame.readingCount; ++k) {
            replay.readings.push_back(now);
            last = now;
        }
        if (rng() % 200 == 0) frame.drawsBeforeActions = 1;
        if (rng() % 300 == 0) frame.drawsBeforeRest = 1;
        replay.frames.push_back(frame);
    }
    replay.result = {GameEnding::GameOver, 123456, 87, 9, 0x0123456789ABCDEFull};
    return replay;
}

void Seal(std::vector<std::uint8_t>& bytes) {
    const std::uint32_t checksum =
        ReplayChecksum(std::span(bytes).first(bytes.size() - CHECKSUM_SIZE));
    for (std::size_t i = 0; i < CHECKSUM_SIZE; ++i) {
        bytes[bytes.size() - CHECKSUM_SIZE + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
    }
}

std::string Refusal(const std::vector<std::uint8_t>& bytes) {
    Replay replay;
    std::string reason;
    if (DecodeReplay(bytes, replay, reason)) return "taken";
    return reason;
}

// Ten minutes of play read back frame for frame, in the size a replay is allowed, also when the
// machine is busy and frames wake up to three milliseconds late; coded as it is played or all at
// once, the same bytes.
TEST(ReplayFormat, TenMinutesReadBackExactlyAndSmall) {
    for (const int lateness : {0, 1, 3}) {
        const Replay game = LongGame(10 * 60 * 50, lateness, 7);
        const std::vector<std::uint8_t> bytes = EncodeReplay(game);
        ASSERT_FALSE(bytes.empty());
        EXPECT_LE(bytes.size(), 16u * 1024) << "lateness " << lateness;
        Replay back;
        std::string reason;
        ASSERT_TRUE(DecodeReplay(bytes, back, reason)) << reason;
        EXPECT_TRUE(back == game) << "lateness " << lateness;

        // Recorded as a game plays it, a frame's draws known only after its readings, the
        // bytes are the same.
        ReplayRecorder recorder(game.start);
        std::size_t reading = 0;
        for (const ReplayFrame& frame : game.frames) {
            recorder.AddFrame({frame.actions, frame.flags, 0, 0, 0});
            for (int k = 0; k < frame.readingCount; ++k)
                recorder.AddReading(game.readings[reading++]);
            recorder.LastFrame().drawsBeforeActions = frame.drawsBeforeActions;
            recorder.LastFrame().drawsBeforeRest = frame.drawsBeforeRest;
        }
        EXPECT_TRUE(recorder.Finish(game.result) == bytes) << "lateness " << lateness;
    }
    // What no game records is not written.
    Replay backwards = LongGame(100, 0, 1);
    backwards.readings[20] = backwards.readings[19] - 1;
    EXPECT_TRUE(EncodeReplay(backwards).empty());
    Replay badSetting = LongGame(100, 0, 1);
    badSetting.start.play.startLevel = 11;
    EXPECT_TRUE(EncodeReplay(badSetting).empty());
}

// Damaged, truncated, padded, foreign, newer and hostile files are each refused with a reason,
// also when a checksum has been made to fit.
TEST(ReplayFormat, BadFilesAreRefusedWithAReason) {
    const std::vector<std::uint8_t> good = EncodeReplay(LongGame(1000, 1, 3));
    ASSERT_EQ(Refusal(good), "taken");

    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + length);
        EXPECT_NE(Refusal(cut), "taken") << "cut to " << length;
    }
    std::vector<std::uint8_t> padded = good;
    padded.push_back(0);
    EXPECT_EQ(Refusal(padded), "the file has bytes after its end");
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::vector<std::uint8_t> flipped = good;
        flipped[at] ^= 0x20;
        EXPECT_NE(Refusal(flipped), "taken") << "byte " << at;
    }
    std::vector<std::uint8_t> wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_EQ(Refusal(wrongMagic), "not a replay file");
    std::vector<std::uint8_t> newer = good;
    newer[4] = 2;
    Seal(newer);
    EXPECT_EQ(Refusal(newer), "made by a newer version of the game");
    EXPECT_EQ(Refusal(std::vector<std::uint8_t>(MAX_REPLAY_BYTES + 1)),
              "the file is too large for a replay");

    // Sealed with a fitting checksum: a setting out of range, a header that asks for more
    // frames than any game has, and payloads that end early or say something else.
    std::vector<std::uint8_t> level = good;
    level[6] = 0;
    Seal(level);
    EXPECT_EQ(Refusal(level), "a setting is out of its range");
    std::vector<std::uint8_t> huge = good;
    huge[39] = 0x7F;
    Seal(huge);
    EXPECT_EQ(Refusal(huge), "too many frames or readings");
    // Three frames whose first reading lies a second past the start time read as a game, but
    // the game writes its start time as that reading: it could not write this file back.
    const std::vector<std::uint8_t> lateFirstReading = {
        0x50, 0x4C, 0x52, 0x59, 0x01, 0x00, 0x01, 0x00, 0x06, 0x06, 0x06, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xA0, 0x0F, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00,
        0x00, 0x3F, 0xFB, 0xCD, 0x10, 0xC7, 0xC1, 0xB6, 0xB6, 0xEB, 0xE0, 0x00, 0x56, 0x1F, 0x8D, 0x20,
    };
    EXPECT_EQ(Refusal(lateFirstReading), "the start time is not the first reading");
    std::vector<std::uint8_t> moreFrames = good;
    moreFrames[36] ^= 0x01;
    Seal(moreFrames);
    EXPECT_NE(Refusal(moreFrames), "taken");
    int payloadsTaken = 0;
    for (std::size_t at = 64; at + CHECKSUM_SIZE < good.size(); ++at) {
        std::vector<std::uint8_t> changed = good;
        changed[at] ^= 0x5A;
        Seal(changed);
        if (Refusal(changed) != "taken") continue;
        ++payloadsTaken;
        // What is read at all is what the game writes of it, byte for byte.
        Replay replay;
        std::string reason;
        ASSERT_TRUE(DecodeReplay(changed, replay, reason));
        EXPECT_EQ(EncodeReplay(replay), changed) << "byte " << at;
    }
    // A changed payload may still read as some other game, but most do not read at all.
    EXPECT_LT(payloadsTaken, static_cast<int>(good.size() / 10));
}

}  // namespace
