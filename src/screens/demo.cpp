#include "screens/demo.h"

#include <memory>
#include <utility>

#include "common/font_codes.h"
#include "cpu_player/cpu_player.h"
#include "game/game_state.h"
#include "game/piece_control.h"
#include "gfx/fade.h"
#include "music/player.h"
#include "platform/clock.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "platform/resource_ids.h"
#include "screens/navigation.h"
#include "screens/navigation_testing.h"
#include "screens/play_screen.h"

namespace {

constexpr auto DEMO_CAPTION = FontLabel("DEMO");
// The demo is played with the default turning direction, whatever the player chose with R.
constexpr std::uint8_t NOT_REVERSED = 0;

// The demo's game: the CPU player's actions on the platform's clock, from level 1 at the default
// play settings; nothing is recorded and the generator's draws are nobody's business. Its key
// timers start as the player's stand and are its own: the player's are left as they are.
class DemoGame final : public GameSource {
public:
    DemoGame(const GameState& game, const HeldKeys& keys)
        : keys_(keys), player_(game, NOT_REVERSED) {}
    PlaySettings Play() const override { return PlaySettings{}; }
    HeldKeys& Keys() override { return keys_; }
    void BeginGame(Random&) override {}
    bool NextFrame(FrameInput& frame) override {
        frame.actions = player_.NextActions();
        frame.turnReversed = NOT_REVERSED != 0;
        frame.paused = false;
        return true;
    }
    void PausedFrame() override {}
    std::int64_t Now() override { return NowMs(); }
    void BeginRules(RulesPart, Random&) override {}
    void EndRules(Random&) override {}
    void EndGame(GameEnding, const GameState&) override {}

private:
    HeldKeys keys_;
    CpuGamePlayer player_;
};

struct DemoState {
    std::int64_t began = 0;
    bool tookKeys = false;
    bool requested = false;  // --demo
    bool ended = false;      // handed back to the title, which has not seen it yet
};
DemoState demo;

void EndDemo() {
    // The play screen holds the player's game again, as before the demo.
    BeginNewGame();
    demo.ended = true;
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    ChangeScreen(Title,
                 {.shown = textures.BlackScreen, .next = textures.TitleBackground, .fade = true});
}

// The CPU player never leaves its game; were it to, the demo ends.
bool LeaveAbandonedDemo() {
    EndDemo();
    return false;
}

}  // namespace

bool AnyPlayerInputHeld() {
    for (int position = NO_KEY_POSITION + 1; position < KEY_POSITION_COUNT; ++position) {
        if (!KeyPositionDown(position)) continue;
        const int vk = VirtualKeyAt(position);
        if (vk != VK_F10 && vk != VK_F12) return true;
    }
    if (KeyDown(VK_LBUTTON)) return true;
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        if (PadHeld(static_cast<PadInput>(i))) return true;
    }
    return false;
}

void StartDemo() {
    demo.tookKeys = false;
    BeginScreenGame(
        std::make_unique<DemoGame>(ShownGame(), PlayerKeys()),
        {.abandoned = LeaveAbandonedDemo, .gameOver = EndDemo, .caption = DEMO_CAPTION});
    demo.began = NowMs();
    ChangeScreen(Demo, {.shown = textures.LevelBackground[0], .next = textures.LevelBackground[1]});
    PlayModule(MusicResource(GAME_SONG_ID), 0, 0);
}

void DemoFrame() {
    demo.tookKeys = AnyPlayerInputHeld();
    if (demo.tookKeys || NowMs() - demo.began >= DEMO_LENGTH_MS) {
        DrawPlayScreenStill();
        EndDemo();
        return;
    }
    RunGameFrame();
}

bool TakeDemoTookKeys() { return std::exchange(demo.tookKeys, false); }

void RequestDemoAtStart() { demo.requested = true; }

bool TakeDemoRequest() { return std::exchange(demo.requested, false); }

bool TakeDemoEnded() { return std::exchange(demo.ended, false); }

void ResetDemo() { demo = DemoState{}; }
