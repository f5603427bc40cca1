#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "support/bounded_wait.h"

namespace {

constexpr std::uint32_t RING_BYTES = 65536;
constexpr std::uint32_t BLOCK_BYTES = 4096;
constexpr int FRAME_BYTES = 4;

class AudioOutput : public ::testing::Test {
protected:
    void SetUp() override {
        CloseAudioOutput();
        SetEffectsSource(nullptr);
        OpenHeadlessAudio();
    }
    void TearDown() override {
        MusicOutputStop();
        SetEffectsSource(nullptr);
        CloseAudioOutput();
    }
};

void AddConstant(std::int32_t* accum, int frames) {
    for (int i = 0; i < frames * 2; i += 2) {
        accum[i] += 30000;
        accum[i + 1] -= 1000;
    }
}

// The value the writer puts into frame f of the music: left counts up, right down.
std::int16_t LeftOf(std::uint64_t frame) { return static_cast<std::int16_t>(frame % 20000); }
std::int16_t RightOf(std::uint64_t frame) { return static_cast<std::int16_t>(-LeftOf(frame)); }

void WriteBlock(std::uint8_t* ring, std::uint64_t firstFrame) {
    const std::uint32_t at = static_cast<std::uint32_t>((firstFrame * FRAME_BYTES) % RING_BYTES);
    for (std::uint32_t i = 0; i < BLOCK_BYTES / FRAME_BYTES; ++i) {
        const std::int16_t frame[2] = {LeftOf(firstFrame + i), RightOf(firstFrame + i)};
        std::memcpy(ring + at + i * FRAME_BYTES, frame, FRAME_BYTES);
    }
}

TEST_F(AudioOutput, SilentWithoutSourcesAndEffectsAreClipped) {
    std::vector<std::int16_t> out(2 * 1500, 123);
    PullAudio(out.data(), 1500);
    for (std::int16_t s : out) ASSERT_EQ(s, 0);

    SetEffectsSource(AddConstant);
    std::vector<std::uint8_t> ring(RING_BYTES);
    WriteBlock(ring.data(), 0);
    for (std::uint32_t b = 1; b < RING_BYTES / BLOCK_BYTES; ++b) WriteBlock(ring.data(), b * 1024);
    ASSERT_TRUE(MusicOutputStart(ring.data(), RING_BYTES));
    PullAudio(out.data(), 1500);
    for (int f = 0; f < 1500; ++f) {
        ASSERT_EQ(out[2 * f], std::min(30000 + LeftOf(f), 32767)) << f;
        ASSERT_EQ(out[2 * f + 1], -1000 + RightOf(f)) << f;
    }
    EXPECT_EQ(MusicOutputPosition(), 1500u * FRAME_BYTES);
}

TEST_F(AudioOutput, NoMusicWithoutAnOutputOrAfterStop) {
    std::vector<std::uint8_t> ring(RING_BYTES, 0x11);
    CloseAudioOutput();
    EXPECT_FALSE(MusicOutputStart(ring.data(), RING_BYTES));
    OpenHeadlessAudio();
    EXPECT_FALSE(MusicOutputStart(ring.data(), 3));
    ASSERT_TRUE(MusicOutputStart(ring.data(), RING_BYTES));
    MusicOutputStop();
    ring.clear();
    ring.shrink_to_fit();
    std::vector<std::int16_t> out(2 * 256, 5);
    PullAudio(out.data(), 256);
    for (std::int16_t s : out) ASSERT_EQ(s, 0);
}

// A writer thread keeps the ring filled behind the play position, as the music thread does;
// the reader on this thread must hear every frame in order, round and round the ring.
TEST_F(AudioOutput, WriterBehindThePlayPositionIsHeardInOrder) {
    std::vector<std::uint8_t> ring(RING_BYTES);
    const std::uint32_t blocks = RING_BYTES / BLOCK_BYTES;
    for (std::uint32_t b = 0; b < blocks; ++b) WriteBlock(ring.data(), b * 1024);
    ASSERT_TRUE(MusicOutputStart(ring.data(), RING_BYTES));

    constexpr std::uint64_t TOTAL_BLOCKS = 160;
    std::atomic<std::uint64_t> written{blocks};
    std::atomic<bool> stop{false};
    std::atomic<bool> writerGaveUp{false};
    std::thread writer([&] {
        while (written.load() < TOTAL_BLOCKS && !stop.load()) {
            const std::uint64_t next = written.load();
            // Block `next` reuses the slot of block next - 16: wait until that one was played.
            if (!WaitUntil([&] {
                    return stop.load() ||
                           (next - blocks + 1) * BLOCK_BYTES <= MusicOutputPosition();
                })) {
                writerGaveUp.store(true);
                return;
            }
            if (stop.load()) return;
            WriteBlock(ring.data(), next * 1024);
            MusicOutputBlockWritten();
            written.store(next + 1);
        }
    });

    std::vector<std::int16_t> out(2 * 700);
    std::uint64_t frame = 0;
    bool heard = true;
    bool writtenInTime = true;
    while (heard && frame + 700 <= TOTAL_BLOCKS * 1024) {
        // Never read past what has been written.
        writtenInTime =
            WaitUntil([&] { return (frame + 700) * FRAME_BYTES <= written.load() * BLOCK_BYTES; });
        if (!writtenInTime) break;
        PullAudio(out.data(), 700);
        for (int i = 0; i < 700 && heard; ++i, ++frame) {
            heard = out[2 * i] == LeftOf(frame) && out[2 * i + 1] == RightOf(frame);
        }
    }
    stop.store(true);
    writer.join();
    EXPECT_TRUE(writtenInTime) << "the writer never wrote the block holding frame " << frame + 699
                               << " (it had written " << written.load() << " blocks)";
    EXPECT_FALSE(writerGaveUp.load())
        << "the play position never passed block " << written.load() - blocks
        << ", so the writer could not go on";
    EXPECT_TRUE(heard) << "wrong sample at frame " << frame - 1;
}

}  // namespace
