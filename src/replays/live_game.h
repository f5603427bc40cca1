#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "game/game_source.h"
#include "replays/replay.h"

// A game played now: each frame's actions come from its player, the clock readings from the
// platform's clock, and the turning direction from the player's settings. It is recorded as it
// goes, from the new game to its end, and coded as it goes; the replay's bytes are put in
// `finished` once the game has ended.
class LiveGame final : public GameSource {
public:
    LiveGame(Player& player, std::int64_t (*clock)(), const PlaySettings& play,
             std::optional<RecordedGame>& finished);

    PlaySettings Play() const override { return play_; }
    HeldKeys& Keys() override { return player_.Keys(); }
    void BeginGame(Random& random) override;
    bool NextFrame(FrameInput& frame) override;
    void PausedFrame() override;
    std::int64_t Now() override;
    void BeginRules(RulesPart part, Random& random) override;
    void EndRules(Random& random) override;
    // A game over or abandoned, or the program ending in it: the replay gets its ending and the
    // final counters and well. A game that played no frame, or broke a replay's limits (more
    // than three hours), leaves nothing.
    void EndGame(GameEnding ending, const GameState& game) override;

private:
    void Record(ActionRecord actions, bool paused);

    Player& player_;
    std::optional<RecordedGame>& finished_;
    std::int64_t (*clock_)();
    PlaySettings play_;
    bool recording_ = false;
    bool overLimits_ = false;
    std::unique_ptr<ReplayRecorder> recorder_;
    std::uint64_t drawsSeen_ = 0;  // the generator's draw count when the rules last ended
};
