#pragma once

#include <cstdint>

// What the player does to the falling piece, and what happens when it lands.

// Auto-repeat of one held action: it acts at once, then every n frames while held, and a new
// press acts only once n frames have passed since it last acted.
struct KeyRepeat {
    std::uint8_t ready = 1;
    std::uint8_t counter = 0;
};

// The five repeating actions, in the order a frame treats them. They outlive games.
struct KeyRepeats {
    KeyRepeat turn;
    KeyRepeat turnOther;
    KeyRepeat shiftLeft;
    KeyRepeat shiftRight;
    KeyRepeat softDrop;
};
extern KeyRepeats keyRepeats;

// Once per play frame, before gravity: turn (Up/W), turn the other way (Ctrl), shift left
// (Left/A), shift right (Right/D), soft drop (Space), hard drop (Down/S, once per press) and
// Escape, which abandons the game (the play screen then goes back to the main menu).
void HandleGameKeys();

// Turns currentMask when the whole turning block of the well is empty; counterClockwise 0 turns
// clockwise. Records the turn when it turned.
void RotatePiece(std::uint8_t type, std::uint8_t counterClockwise);

// Each reads its own keys and moves the piece one column when one is held and the way is free.
void MoveLeft();
void MoveRight();

// One row down for 10 points, unless the piece rests.
void SoftDrop();
// Drops the piece as far as it goes, 11 points a row.
void HardDrop();

enum class LockResult {
    Falling,   // the piece does not rest, or it slid off a ledge: it keeps falling
    Locked,    // the piece locked; the next one entered and full rows were removed and scored
    GameOver,  // the piece locked in the entry cells of row 1: the game is over
};

// Once per play frame, after the piece has been drawn. A resting piece may slide along the
// surface while a shift key is held (not after a hard drop), then locks. On GameOver the well
// holds the locked piece and nothing else has changed (no new piece, full rows stay): the play
// screen then runs the game-over transition. Records the lock, any level-ups, the rows removed
// and the game over as they happen.
LockResult TryLockPiece();
