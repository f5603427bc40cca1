#pragma once

#include <string_view>

#include "platform/touch.h"

// Tests: a touch screen and the fingers on its controls, by script. A control held by script
// counts from the next TakeTouchControls; a tap is held for that one frame only.
void ScriptTouchScreen(bool present);
void ScriptTouchControl(std::string_view action, bool held);
void ScriptTouchTap(std::string_view action);
// What the page was last asked to show.
bool TouchControlsShown();
bool NameTypingShown();
void StopTouchScript();
