#include "app/bindings_store.h"
#include "app/bindings_store_testing.h"
#include "app/frame_loop.h"
#include "app/high_score_store.h"
#include "app/high_score_store_testing.h"
#include "app/load_resources.h"
#include "app/pause.h"
#include "app/replays.h"
#include "app/settings.h"
#include "app/settings_testing.h"
#include "app/shell.h"
#include "app/shell_testing.h"
#include "app/versus_results_store_testing.h"
#include "common/random.h"
#include "gfx/back_buffer.h"
#include "music/player.h"
#include "music/vector_code.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/controllers.h"
#include "platform/keys_testing.h"
#include "platform/main_loop.h"
#include "platform/sdl_renderer.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "screens/demo.h"
#include "screens/high_scores.h"
#include "screens/navigation_testing.h"
#include "screens/play_screen.h"
#include "sound/sound.h"

namespace {
constexpr int EXIT_ANOTHER_COPY = -1;
constexpr int EXIT_NO_WINDOW = 1;
// The generator's state before anything seeds it.
constexpr std::uint32_t UNSEEDED_RANDOM = 1;
}  // namespace

void ConnectLiveServices() {
    SetHighScoreStore(SaveHighScores);
    SetRowGameFinder(FindRowGames);
}

std::optional<int> StartGame() {
    if (!ClaimSingleInstance()) {
        AskRunningCopyToRaise();
        return EXIT_ANOTHER_COPY;
    }
    ReadDisplayMode(StartupSettingsRecord());
    if (!CreateGameWindow(settings.fullscreen != 0)) {
        ReleaseSingleInstance();
        return EXIT_NO_WINDOW;
    }
    ListenForRaiseRequests();
    SeedRandom(static_cast<std::uint32_t>(NowMs()));
    ConnectLiveServices();
    // Each of these may fail; the game then goes on without that service.
    CreateRenderer(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, settings.fullscreen);
    OpenAudioOutput();
    OpenControllers();
    InitSound();
    LoadResources();
    return std::nullopt;
}

void CloseGame() {
    // The music would end with the process; its thread is stopped here so that it does not
    // outlive the audio device it feeds.
    StopModule();
    CloseAudioOutput();
    ClosePlatform();
    ReleaseSingleInstance();
}

void ResetProgramState() {
    ResetMusicPlayer();
    UseCodeBuild(CodeBuild::AVX2);
    ResetSettings();
    ResetBindings();
    ResetHighScoresStartupState();
    ResetVersusResults();
    ResetScreens();
    shell = Shell{};
    ForgetKeptReplays();
    SeedRandom(UNSEEDED_RANDOM);
}

void CloseAndResetProgram() {
    ShutdownSound();
    ReleaseGraphics();
    SetFrameSaving(true);
    CloseGame();
    StopInputScript();
    StopManualClock();
    ResetProgramState();
}

namespace {
std::optional<std::int64_t> RunNextGameFrame() { return RunNextFrame(RunFrame); }
bool RunDueGameFrames() { return RunDueFrames(RunFrame); }
void EndGameLoop() {
    FinishFrameLoop();
    CloseGame();
}
// What the player changed is kept now, when the page they play in may be closed next.
void KeepChoices() {
    StoreSettings();
    StoreBindings();
}
}  // namespace

int RunGame() {
    if (const std::optional<int> refused = StartGame()) return *refused;
    DriveFrames({StartFrameLoop, RunNextGameFrame, RunDueGameFrames, RestartFrameDeadline,
                 KeepChoices, EndGameLoop});
    return 0;
}

int RunGameWithDemo(const std::string&) {
    RequestDemoAtStart();
    return RunGame();
}

int RunGameWithAutoplay(const std::string&) {
    PlayEveryGameWithCpu();
    return RunGame();
}
