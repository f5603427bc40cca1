#pragma once

#include <string>

#include "images_canvas.h"

// The typefaces the pictures are lettered in (DejaVu, from Debian's fonts-dejavu-core).
enum class Face { Bold, Mono, Regular };

// Opens the fonts; false (with a message) when FreeType or a font file is missing.
bool OpenFonts();
void CloseFonts();

// The coverage of a line of text. `height` is the em size in pixels, `widthScale` narrows
// or widens the letters, `tracking` adds pixels between letters. The mask is cropped to
// the ink and placed with its baseline origin at (0, 0).
Mask RenderText(Face face, const std::string& text, float height, float widthScale = 1.0f,
                float tracking = 0.0f);

// How the game letters its words: a vertical gradient fill with a dark outline, a drop
// shadow and, for headings, a soft glow behind.
struct TextStyle {
    Color top, bottom;
    Color outline = Hex(0x140A22);
    float outlineWidth = 2.0f;
    int shadowX = 2, shadowY = 3;
    Color shadow = Hex(0x000000, 0.55f);
    Color glow = Hex(0x000000, 0.0f);
    int glowRadius = 0;
};

// Paints a mask returned by RenderText with the style, its ink box's top-left at (x, y).
void DrawStyled(Image& img, const Mask& text, int x, int y, const TextStyle& style);
// The same, centred on the ink box in the rectangle [x0, x1) x [y0, y1).
void DrawStyledCentred(Image& img, const Mask& text, int x0, int y0, int x1, int y1,
                       const TextStyle& style);

// The house styles, so every screen letters alike.
TextStyle HeadingStyle();  // gold headings
TextStyle BodyStyle();     // light body text
TextStyle KeyCapStyle();   // dark letters on a light key cap
