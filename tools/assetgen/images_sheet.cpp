#include <algorithm>
#include <string>

#include "images.h"
#include "images_text.h"

namespace {

constexpr int SHEET_W = 256, SHEET_H = 128;
constexpr int TILE = 32;
constexpr int CELL_W = 16, CELL_H = 32;
constexpr int GLYPH_BASELINE = 27;  // cap height 22 leaves room for the outline above and below

// What each cell of the three glyph rows shows; a space leaves the cell empty. Row 0 holds
// the digits, the blank cell (10), '/', '-', '+', and two signs a label may use, ':' (code
// 0x0E) and '.' (0x0F); row 1 the letters A to P; row 2 Q to Z and '!' (code 0x8B).
constexpr const char* GLYPH_ROWS[3] = {"0123456789 /-+:.", "ABCDEFGHIJKLMNOP", "QRSTUVWXYZ!"};

TextStyle GlyphStyle() {
    TextStyle s;
    s.top = Hex(0xFFFFFF);
    s.bottom = Hex(0xFFD05C);
    s.outline = Hex(0x140A22);
    s.outlineWidth = 1.0f;
    s.shadowX = 1;
    s.shadowY = 1;
    s.shadow = Hex(0x000000, 0.6f);
    return s;
}

// Letters each cell on its own small canvas so no outline or shadow spills into a neighbour.
void DrawGlyphCell(Image& sheet, int cellX, int cellY, char ch) {
    if (ch == ' ') return;
    Image cell(CELL_W, CELL_H, Hex(0, 0.0f));
    const Mask m = RenderText(Face::Mono, std::string(1, ch), 30.0f, 0.68f);
    DrawStyled(cell, m, (CELL_W - m.w) / 2, GLYPH_BASELINE + m.oy, GlyphStyle());
    for (int y = 0; y < CELL_H; ++y) {
        for (int x = 0; x < CELL_W; ++x) sheet.At(cellX + x, cellY + y) = cell.At(x, y);
    }
}

}  // namespace

Image MakeSpriteSheet() {
    Image sheet(SHEET_W, SHEET_H, Hex(0, 0.0f));
    for (int type = 1; type <= 7; ++type) DrawBlock(sheet, TILE * type, 0, TILE, type);
    for (int row = 0; row < 3; ++row) {
        const std::string chars = GLYPH_ROWS[row];
        for (std::size_t c = 0; c < chars.size(); ++c) {
            DrawGlyphCell(sheet, CELL_W * static_cast<int>(c), TILE + CELL_H * row, chars[c]);
        }
    }
    return sheet;
}

Image MakePanel() { return Image(320, 640, Hex(0x000000)); }

Image MakeIcon(int size) {
    // Four blocks in a square, drawn afresh at each size so small icons stay crisp.
    const int gap = std::max(1, size / 32);
    const int block = (size - gap) / 2;
    const int margin = (size - 2 * block - gap) / 2;
    Image icon(size, size, Hex(0, 0.0f));
    const int types[4] = {1, 4, 7, 6};
    for (int i = 0; i < 4; ++i) {
        DrawBlock(icon, margin + (i % 2) * (block + gap), margin + (i / 2) * (block + gap), block,
                  types[i]);
    }
    return icon;
}
