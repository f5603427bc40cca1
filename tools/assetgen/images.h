#pragma once

#include "images_canvas.h"

// The seven block colours by piece type 1..7 (index 0 unused). Lightness falls from type to
// type in a different order than hue, and every tile carries its own emblem, so players who
// cannot tell the hues apart still tell the blocks apart.
Color BlockColor(int type);

// One bevelled block of the given piece type, `size` pixels square, at (x, y).
void DrawBlock(Image& img, int x, int y, int size, int type, float opacity = 1.0f);

// The backdrop shared by the front-end screens: a night gradient with a faint drift of
// falling pieces. `seed` varies the drift from screen to screen.
void DrawBackdrop(Image& img, std::uint32_t seed);
// A tetromino of `type` (1..7, the game's entering shapes) made of blocks of `size`.
void DrawPiece(Image& img, int x, int y, int size, int type, int turns, float opacity = 1.0f);
// A dark rounded panel with a thin gold frame, the house look for boxes of text.
void DrawFramedPanel(Image& img, int x0, int y0, int x1, int y1, float opacity);
// The game's name as its logo, ink box centred on (cx, cy).
void DrawLogo(Image& img, int cx, int cy, float height);

Image MakeSpriteSheet();
Image MakeGhostTiles();  // 256 x 32 with alpha, tile n at x = 32n like the sheet's row 0
Image MakePanel();
Image MakeIcon(int size);  // the window icon at 64, the desktop icons at their sizes
Image MakeTitle();
Image MakeMenu();
Image MakeMenuHighlight();
Image MakeInfo();
Image MakeOptions();
Image MakeHighScores();
Image MakeLevel(int picture);  // 0..9, the level pictures in order
