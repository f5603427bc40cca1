#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "screens/navigation.h"

// While set, no screen runs and nothing new is drawn (app/pause.h keeps the picture); only the
// hotkeys run.
extern std::uint8_t Paused;

// Set when a hotkey has acted; no hotkey acts again until all ten are seen up.
extern std::uint8_t HotkeyLatch;

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
