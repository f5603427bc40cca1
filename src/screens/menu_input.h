#pragma once

// The keyboard's and the game controllers' way through the menus. A screen reads them once a
// frame; a key then counts as pressed on the frame it goes down, and the directions again every
// few frames while they are held, so that a held arrow, D-pad or stick walks on steadily.
enum class MenuKey {
    Up,  // the arrow, or the D-pad or stick
    Down,
    Left,
    Right,
    Confirm,  // Return or the keypad's Enter; the controller's A
    Start,    // the controller's Start
    // The name entry answers to the controllers only: the keys type the name.
    LetterUp,    // the D-pad or stick up
    LetterDown,  // down
    LetterNext,  // right or A
    LetterBack,  // left or B
};

void ReadMenuKeys();
bool MenuKeyPressed(MenuKey key);

// After a change of screen: a key still held from the last one counts again only once it has
// been released and pressed anew.
void HoldMenuKeys();

// Escape, or a controller's B or Back, down now: the way back out of a screen.
bool MenuBackHeld();
