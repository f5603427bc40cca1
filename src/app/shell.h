#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "screens/navigation.h"

// The shell's state: the pause, the hotkeys' latch and the frame loop.
struct Shell {
    // While set, no screen runs and nothing new is drawn (app/pause.h keeps the picture); only
    // the hotkeys run.
    std::uint8_t Paused = 0;
    // Set when a hotkey has acted; no hotkey acts again until all ten are seen up.
    std::uint8_t HotkeyLatch = 0;
    // What the pause shows.
    struct PauseState {
        bool automatic = false;    // the game paused itself: the line says how to play on
        bool pictureKept = false;  // the picture before the pause is kept aside
        bool lineShown = false;    // the picture in the window has the line
    } pause;
    struct LoopState {
        bool quitTaken = false;  // the loop ends at its next test
        bool shutDown = false;
        std::int64_t deadline = 0;  // when the next frame is due
    } loop;
};
extern Shell shell;

// One frame: unless paused, clear, the current screen's frame function and present; then the
// hotkeys, also while paused.
void RunFrame();
void HandleHotkeys();

// Releases the sounds and the graphics and stores the settings; runs once however often it is
// asked.
void Shutdown();

// What the layers below are handed rather than reach for: the high-score screen stores its table
// through the high-score store.
void ConnectLiveServices();

// Everything before the first frame: single instance, window, services, resources. Nothing
// when the game can start, else its exit status: -1 when another copy runs, 1 when no window
// can be opened.
std::optional<int> StartGame();

// Everything after the frame loop has ended (and shut the game down): the music thread, the
// audio device, the window and the single-instance claim.
void CloseGame();

// The whole program: StartGame, the desktop's frame loop running RunFrame, CloseGame. The exit
// status: 0, or StartGame's.
int RunGame();
// plemby --demo: RunGame, starting with a demo of the CPU player.
int RunGameWithDemo(const std::string&);
// plemby --autoplay: RunGame, the CPU player playing every game.
int RunGameWithAutoplay(const std::string&);
