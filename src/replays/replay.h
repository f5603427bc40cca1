#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/settings.h"
#include "game/game_source.h"

// A recorded game: what the rules drew on at its start and, frame by frame, the actions and
// time readings they were given. Played back through the same rules it ends exactly as the
// game did. The file format is described in docs/replays.md.

// A frame of the game as the rules saw it. Frame 0 is the start of the game itself (the
// readings the new game took); every later frame is one frame of the play screen, paused or
// not.
struct ReplayFrame {
    std::uint8_t actions = 0;       // the action record: bit i held = play action i
    std::uint8_t flags = 0;         // REPLAY_PAUSED, REPLAY_TURN_REVERSED
    std::uint8_t readingCount = 0;  // clock readings the rules took in this frame
    // Draws of the shared generator that were not the rules' (a sound whose buffer was still
    // playing): since the rules last ran and before this frame's actions, and between its
    // actions and the rest of its rules.
    std::uint16_t drawsBeforeActions = 0;
    std::uint16_t drawsBeforeRest = 0;
    bool operator==(const ReplayFrame&) const = default;
};
constexpr std::uint8_t REPLAY_PAUSED = 0x01;         // the frame ran paused: no rules
constexpr std::uint8_t REPLAY_TURN_REVERSED = 0x02;  // the turning direction was reversed
constexpr std::uint8_t REPLAY_FRAME_FLAGS = REPLAY_PAUSED | REPLAY_TURN_REVERSED;

// What the game started from: the generator's state just before the new game drew its pieces,
// the play settings and the turning direction, and what a new game keeps from the last one: the
// key-repeat pairs (ready, counter) of turn, turn the other way, shift left, shift right and
// soft drop, and the hard drop's latch.
constexpr int REPLAY_REPEAT_BYTES = 10;
struct ReplayStart {
    std::uint32_t randomState = 1;
    PlaySettings play;
    std::uint8_t rotateReversed = 0;
    std::array<std::uint8_t, REPLAY_REPEAT_BYTES> keyRepeats{1, 0, 1, 0, 1, 0, 1, 0, 1, 0};
    std::uint8_t dropLatch = 0;
    bool operator==(const ReplayStart&) const = default;
};

// How the game ended, as the recording game saw it; a replay must end the same.
struct ReplayResult {
    GameEnding ending = GameEnding::Unfinished;
    std::uint32_t score = 0;
    std::uint8_t lines = 0;
    std::uint8_t level = 0;
    std::uint64_t wellHash = 0;  // WellHash of the final well
    bool operator==(const ReplayResult&) const = default;
};

struct Replay {
    ReplayStart start;
    std::vector<ReplayFrame> frames;
    std::vector<std::int64_t> readings;  // every frame's readings, in order
    ReplayResult result;
    bool operator==(const Replay&) const = default;
};

// Limits that keep a hostile file from costing more than a few megabytes: three hours of
// frames, paused ones included, and no more than this many readings or bytes.
constexpr std::uint32_t MAX_REPLAY_FRAMES = 3 * 60 * 60 * 50;
constexpr std::uint32_t MAX_REPLAY_READINGS = 2 * MAX_REPLAY_FRAMES;
constexpr std::uint8_t MAX_READINGS_PER_FRAME = 8;
constexpr std::uint16_t MAX_OTHER_DRAWS = 1000;
constexpr std::size_t MAX_REPLAY_BYTES = std::size_t{1} << 20;
// Readings never go back in time and never leap more than about seven weeks.
constexpr std::int64_t MAX_READING_STEP = std::int64_t{1} << 32;

// The file's bytes; empty when the replay breaks one of the limits above (or its readings run
// backwards), which a recording of a real game never does.
std::vector<std::uint8_t> EncodeReplay(const Replay& replay);

// A replay coded while its game is played, so that a long game holds only its coded bytes (a
// few kilobytes a minute) rather than every frame. A frame may gain readings and draws until
// the next one begins; it is coded then. The bytes are those EncodeReplay makes of the same
// frames.
class ReplayRecorder {
public:
    explicit ReplayRecorder(const ReplayStart& start);
    ~ReplayRecorder();
    ReplayRecorder(const ReplayRecorder&) = delete;
    ReplayRecorder& operator=(const ReplayRecorder&) = delete;

    // Begins the next frame with its actions, flags and draws; its readings come one by one.
    void AddFrame(const ReplayFrame& frame);
    void AddReading(std::int64_t reading);
    // The frame begun last, whose draws may still change.
    ReplayFrame& LastFrame();
    std::uint32_t FrameCount() const;
    // True once the frames broke one of the limits above: nothing more is coded, and Finish
    // gives no bytes.
    bool Failed() const;
    // The file's bytes, as EncodeReplay gives them, once the game has ended as `result` says.
    // The recorder is done after it.
    std::vector<std::uint8_t> Finish(const ReplayResult& result);

private:
    struct Coding;
    std::unique_ptr<Coding> coding_;
};

// A game recorded to its end: the file's bytes (empty when they broke a limit) and its end.
struct RecordedGame {
    std::vector<std::uint8_t> bytes;
    ReplayResult result;
};

// Reads a replay file. On refusal returns false and says why in `reason`, in a line a player
// can read ("truncated", "checksum does not match", ...); `replay` is then unspecified.
bool DecodeReplay(std::span<const std::uint8_t> bytes, Replay& replay, std::string& reason);

// The checksum that closes a file, over all the bytes before it (CRC-32 as in zip and PNG).
std::uint32_t ReplayChecksum(std::span<const std::uint8_t> bytes);
