#include "app/frame_loop.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/settings.h"
#include "app/shell.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "support/temp_home.h"

namespace {

constexpr std::int64_t START_MS = 1000;

// What each frame of the loop under test does, and what it saw.
struct Script {
    int frames = 0;
    int quitAfter = 0;
    std::vector<std::int64_t> frameStarts;
    std::vector<std::size_t> sleepsBefore;
    std::vector<int> eventsPending;
    std::vector<std::int64_t> frameCost;  // ms each frame takes, by frame number
};
Script script;

int PendingEvents() {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void PushUserEvents(int count) {
    for (int i = 0; i < count; ++i) {
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
    }
}

void ScriptedFrame() {
    script.frameStarts.push_back(NowMs());
    script.sleepsBefore.push_back(ManualSleeps().size());
    script.eventsPending.push_back(PendingEvents());
    const auto n = static_cast<std::size_t>(script.frames);
    if (n < script.frameCost.size()) AdvanceManualClock(script.frameCost[n]);
    ++script.frames;
    if (script.frames == 2) PushUserEvents(3);
    if (script.frames == script.quitAfter) RequestQuit();
}

std::string SettingsFile() { return ConfigDir() + "/settings.bin"; }

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
        ClearTestHome();
        script = Script{};
        UseManualClock(START_MS);
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }
};

TEST_F(FrameLoop, LateFrameIsCaughtUpWithoutSleeping) {
    script.frameCost = {65, 0, 0, 0, 0};  // the first frame ends 45 ms after its deadline
    script.quitAfter = 5;
    EXPECT_EQ(RunFrameLoop(ScriptedFrame), 0);

    // No sleep after the late frame nor the next two; 15 ms after the third, then a full period.
    EXPECT_EQ(ManualSleeps(), (std::vector<std::int64_t>{15, 20}));
    EXPECT_EQ(script.sleepsBefore, (std::vector<std::size_t>{0, 0, 0, 0, 1}));
    EXPECT_EQ(script.frameStarts, (std::vector<std::int64_t>{1000, 1065, 1065, 1065, 1080}));
}

TEST_F(FrameLoop, SleepsZeroWhenExactlyDueAndDeadlineIsNeverReset) {
    script.frameCost = {20, 7, 33, 0};
    script.quitAfter = 4;
    RunFrameLoop(ScriptedFrame);
    // Deadlines 1020, 1040, 1060, 1080 from a start at 1000, whatever the frames cost.
    EXPECT_EQ(ManualSleeps(), (std::vector<std::int64_t>{0, 13, 7}));
    EXPECT_EQ(script.frameStarts, (std::vector<std::int64_t>{1000, 1020, 1040, 1073}));
}

// A loop woken from outside (a browser's animation callback) runs what is due with the same
// deadlines and catch-up, and never sleeps.
TEST_F(FrameLoop, DueFramesRunWithTheSamePacingWithoutSleeping) {
    script.frameCost = {65, 0, 0, 0, 0};
    StartFrameLoop();
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frameStarts, (std::vector<std::int64_t>{1000, 1065, 1065, 1065}));
    EXPECT_EQ(script.eventsPending, (std::vector<int>{0, 0, 0, 0}));  // taken between frames

    SetManualClock(1079);
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frames, 4);  // the next is due at 1080
    SetManualClock(1080);
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frames, 5);

    RequestQuit();
    SetManualClock(2000);
    EXPECT_FALSE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frames, 5);
    EXPECT_TRUE(ManualSleeps().empty());
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
    FinishFrameLoop();
}

// A page hidden for ten minutes gets no callbacks; on its return the deadline starts afresh, so
// one frame runs instead of the 30000 the catch-up would owe, and the pacing goes on from there.
TEST_F(FrameLoop, DeadlineStartsAfreshAfterAHiddenPage) {
    StartFrameLoop();
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    SetManualClock(START_MS + 10 * 60 * 1000);
    RestartFrameDeadline();
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frames, 2);
    AdvanceManualClock(20);
    EXPECT_TRUE(RunDueFrames(ScriptedFrame));
    EXPECT_EQ(script.frames, 3);
    FinishFrameLoop();
}

TEST_F(FrameLoop, PendingEventsRunBeforeTheNextFrame) {
    PushUserEvents(5);
    script.quitAfter = 3;
    RunFrameLoop(ScriptedFrame);
    EXPECT_EQ(script.eventsPending, (std::vector<int>{0, 0, 0}));
}

TEST_F(FrameLoop, QuitRequestEndsTheLoopAfterItsFrameWithOneShutdown) {
    script.quitAfter = 2;
    EXPECT_EQ(RunFrameLoop(ScriptedFrame), 0);
    EXPECT_EQ(script.frames, 2);
    ASSERT_TRUE(std::filesystem::exists(SettingsFile()));
    EXPECT_EQ(std::filesystem::file_size(SettingsFile()), 12u);

    // Shutdown has run: a second one stores nothing.
    std::filesystem::remove(SettingsFile());
    Shutdown();
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(FrameLoop, WindowCloseEndsTheLoopLikeTheQuitRequest) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    RequestQuit();  // both arrive: shutdown still runs once
    EXPECT_EQ(RunFrameLoop(ScriptedFrame), 0);
    EXPECT_EQ(script.frames, 0);
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
}

TEST_F(FrameLoop, F12EndsTheGameWhilePaused) {
    shell.Paused = 1;
    ScriptKey(VK_F12, true);
    EXPECT_EQ(RunFrameLoop(RunFrame), 0);
    EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
    EXPECT_EQ(ManualSleeps().size(), 1u);  // exactly one frame ran
}

}  // namespace
