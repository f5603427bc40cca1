#pragma once

#include "screens/navigation.h"

// For tests: every screen's own state back to how the program starts it, the screen shown
// (the title) and the quit request included. The play screen holds the player's game again,
// recording nothing yet, and its CPU player no longer plays every game.
void ResetScreens();

// The parts ResetScreens puts back, one per screen or shared piece of the screens.
void ResetNavigation();
void ResetPlayScreen();
void ResetTitle();
void ResetDemo();
void ResetWatch();
void ResetMenuKeys();
void ResetPadHoldOver();
