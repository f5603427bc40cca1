#pragma once

#include <string_view>

// A touch screen's own controls: the page a browser shows the game in draws its touch controls
// for play beside the picture and its own button and text field for typing a name; elsewhere
// there are none. Each touch control stands for a play action, named as in the controls file
// ("shift-left"). A finger on one holds it, and a tap that came and went between two frames
// holds it for the next frame, as a key pressed that briefly still counts.

// True where the player can touch the screen: the CONTROLS screen then offers the switch that
// shows the touch controls.
bool TouchScreen();

// Shows or hides the touch controls for play; cheap to call in every frame.
void ShowTouchControls(bool shown);
// Shows or hides the page's way to raise the device's own keyboard while a name is typed; the
// letters typed there reach the game as key presses.
void ShowNameTyping(bool shown);

// Once at the start of each frame: what the fingers hold now, and what was tapped since the
// last frame. Every read in the frame answers from it.
void TakeTouchControls();
bool TouchControlHeld(std::string_view action);
