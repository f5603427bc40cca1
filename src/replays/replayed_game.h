#pragma once

#include <cstdint>
#include <string>

#include "game/game_source.h"
#include "replays/replay.h"

// A recorded game played back through the rules: its play settings, key timers and generator as
// the game began, then frame by frame the actions, the turning direction, the clock readings and
// the other draws as they were. Nothing of the player's own settings or keys is touched.
class ReplayedGame final : public GameSource {
public:
    explicit ReplayedGame(Replay replay);

    PlaySettings Play() const override { return replay_.start.play; }
    HeldKeys& Keys() override { return keys_; }
    // The game's generator is set to the recorded start.
    void BeginGame(Random& random) override;
    // False when the record has no more frames.
    bool NextFrame(FrameInput& frame) override;
    // The watcher's pause: the record waits.
    void PausedFrame() override {}
    // The next recorded clock reading of the frame. When the rules ask for one the frame does
    // not have, the replay has come apart from the rules: the last reading is given again, and
    // Problem says where.
    std::int64_t Now() override;
    // Before each part of the rules the generator is set to where the recorded game's had been,
    // whatever was drawn while the replay played (its own sounds).
    void BeginRules(RulesPart part, Random& random) override;
    void EndRules(Random& random) override;
    // Checks the end, as EndedAsRecorded says.
    void EndGame(GameEnding ending, const GameState& game) override;

    // `game` has ended as `ending`: true when the record ends there too, in the same well, score,
    // lines and level; else Problem says how it differs.
    bool EndedAsRecorded(GameEnding ending, const GameState& game);
    // Empty while the replay follows its record; else, once, what went apart and at which frame.
    const std::string& Problem() const { return problem_; }
    // The frame the playback is at: 0 is the new game.
    std::uint32_t FrameIndex() const { return frame_; }

private:
    void Diverge(const std::string& what);
    void CheckReadingsUsed();

    Replay replay_;
    HeldKeys keys_;
    std::uint32_t frame_ = 0;         // index of the frame being played
    std::uint32_t readingsUsed_ = 0;  // in the frame being played
    std::size_t nextReading_ = 0;     // in replay_.readings
    std::int64_t lastReading_ = 0;
    std::uint32_t stateAfterRules_ = 0;  // the generator when the rules last ended
    std::string problem_;
};
