#pragma once

#include <cstdint>

// The title's demo: left alone on the title screen, the game shows a game of its CPU player from
// level 1 at the default play settings, with "DEMO" in the counters' panel and the game's music,
// for a minute or until its game over, then goes back to the title. Any key, click or controller
// button returns to the title at once (F10 and F12 act as everywhere); the pause when the window
// loses the focus does not apply. A demo records nothing and touches no stored file.

constexpr std::int64_t DEMO_IDLE_MS = 30000;    // the title left alone this long shows a demo
constexpr std::int64_t DEMO_LENGTH_MS = 60000;  // a demo goes back to the title after this long

// Starts a demo on the Demo screen.
void StartDemo();
// The Demo screen's frame.
void DemoFrame();
// Once after a frame whose input ended the demo: the hotkeys leave those keys alone until they
// are let go, so the key that ends a demo does nothing else.
bool TakeDemoTookKeys();

// Whether any key (but F10 and F12, which act as everywhere), the mouse button or a controller
// button is held: the input that ends a demo, and that keeps the title from starting one.
bool AnyPlayerInputHeld();

// The title's side: `--demo` asks for a demo at once; the title takes the request.
void RequestDemoAtStart();
bool TakeDemoRequest();
// The demo has just handed back to the title: the title waits until everything is let go.
bool TakeDemoEnded();
