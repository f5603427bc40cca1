#include <algorithm>
#include <string>
#include <vector>

#include "images.h"
#include "images_text.h"

namespace {

constexpr int SCREEN_W = 1024, SCREEN_H = 768;
constexpr int KEY_BASELINE = 25;  // where a key table's words stand, from the cap's top

// The main menu's items where their hit rectangles are: left, top, right, bottom
// (right and bottom exclusive), and the word each one shows.
struct MenuItem {
    int x0, y0, x1, y1;
    const char* word;
    float textHeight;
};
constexpr MenuItem MENU_ITEMS[5] = {{814, 32, 992, 108, "EXIT", 44.0f},
                                    {780, 152, 988, 228, "HELP", 44.0f},
                                    {278, 273, 678, 395, "START", 78.0f},
                                    {32, 534, 366, 612, "OPTIONS", 44.0f},
                                    {32, 662, 608, 740, "HIGH SCORES", 44.0f}};

// A heap of settled blocks, columns from x0 rightwards, standing on y = bottom.
void DrawPile(Image& img, int x0, int bottom, int size, const std::vector<int>& heights,
              std::uint32_t seed, float opacity) {
    Lcg rng(seed);
    for (std::size_t c = 0; c < heights.size(); ++c) {
        for (int r = 0; r < heights[c]; ++r) {
            const int type = 1 + static_cast<int>(rng.Next() % 7);
            DrawBlock(img, x0 + static_cast<int>(c) * size, bottom - (r + 1) * size, size, type, opacity);
        }
    }
}

void DrawButton(Image& img, const MenuItem& item, bool lit) {
    const auto x0 = static_cast<float>(item.x0), y0 = static_cast<float>(item.y0);
    const auto x1 = static_cast<float>(item.x1), y1 = static_cast<float>(item.y1);
    const Inside outer = RoundedRect(x0, y0, x1, y1, 18.0f);
    const Inside inner = RoundedRect(x0 + 4, y0 + 4, x1 - 4, y1 - 4, 14.0f);
    const Inside ring = [&](float x, float y) { return outer(x, y) && !inner(x, y); };
    if (lit) {
        FillShape(img, item.x0, item.y0, item.x1, item.y1, inner,
                  VerticalGradient(y0, Hex(0xFFF2A0), y1, Hex(0xFF9A2A)));
        FillShape(img, item.x0, item.y0, item.x1, item.y1, ring,
                  VerticalGradient(y0, Hex(0xFFFFFF), y1, Hex(0xFFD9A0)));
    } else {
        if (item.y1 + 6 <= SCREEN_H) {
            const Inside shadow = RoundedRect(x0 + 4, y0 + 6, x1 + 4, y1 + 6, 18.0f);
            FillShape(img, item.x0, item.y0, item.x1 + 6, item.y1 + 8, shadow, Hex(0x000000, 0.45f));
        }
        FillShape(img, item.x0, item.y0, item.x1, item.y1, inner,
                  VerticalGradient(y0, Hex(0x34307A), y1, Hex(0x16123F)));
        FillShape(img, item.x0, item.y0, item.x1, item.y1, ring,
                  VerticalGradient(y0, Hex(0xF2C45A), y1, Hex(0x9A5A26)));
        // A soft sheen on the upper half of the plate.
        FillShape(img, item.x0, item.y0, item.x1, item.y1,
                  RoundedRect(x0 + 8, y0 + 7, x1 - 8, (y0 + y1) / 2, 10.0f), Hex(0xFFFFFF, 0.06f));
    }
    const Mask word = RenderText(Face::Bold, item.word, item.textHeight, 1.0f, item.textHeight * 0.06f);
    TextStyle style = HeadingStyle();
    if (lit) {
        style.top = Hex(0xFFFFFF);
        style.bottom = Hex(0xFFF2D0);
        style.outline = Hex(0x4A1020);
    }
    DrawStyledCentred(img, word, item.x0, item.y0, item.x1, item.y1, style);
}

// Arrows are small signs in the typeface, so they are lettered larger on their caps.
Mask KeyLabel(const std::string& label) {
    const bool arrow = static_cast<unsigned char>(label[0]) >= 0x80 && label.size() <= 3;
    return RenderText(Face::Bold, label, arrow ? 26.0f : 19.0f);
}

int KeyCapWidth(const Mask& text) { return std::max(38, text.w + 22); }

// A key as printed on a key cap; returns the cap's right edge.
int DrawKeyCap(Image& img, int x, int y, const std::string& label) {
    const Mask text = KeyLabel(label);
    const int w = KeyCapWidth(text), h = 34;
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y), fw = static_cast<float>(w);
    FillShape(img, x, y, x + w, y + h + 4, RoundedRect(fx, fy + 3, fx + fw, fy + h + 4, 7.0f),
              Hex(0x05030F, 0.7f));
    FillShape(img, x, y, x + w, y + h, RoundedRect(fx, fy, fx + fw, fy + h, 7.0f),
              VerticalGradient(fy, Hex(0xFFFFFF), fy + h, Hex(0xB9BEDA)));
    FillShape(img, x, y, x + w, y + h, RoundedRect(fx + 3, fy + 2, fx + fw - 3, fy + h - 6, 5.0f),
              VerticalGradient(fy, Hex(0xF4F5FF), fy + h, Hex(0xD8DBF0)));
    DrawStyledCentred(img, text, x, y, x + w, y + h - 4, KeyCapStyle());
    return x + w;
}

struct KeyRow {
    std::vector<std::string> keys;
    const char* meaning;
};

constexpr int KEY_GAP = 8;

// Key caps in a column from x, each row's meaning in a second column after the widest keys.
void DrawKeyTable(Image& img, int x, int y, int rowH, const std::vector<KeyRow>& rows) {
    int keysW = 0;
    for (const KeyRow& row : rows) {
        int w = 0;
        for (const std::string& k : row.keys) w += KeyCapWidth(KeyLabel(k)) + KEY_GAP;
        keysW = std::max(keysW, w);
    }
    for (const KeyRow& row : rows) {
        int kx = x;
        for (const std::string& k : row.keys) kx = DrawKeyCap(img, kx, y, k) + KEY_GAP;
        const Mask text = RenderText(Face::Bold, row.meaning, 21.0f);
        DrawStyled(img, text, x + keysW + 14, y + KEY_BASELINE + text.oy, BodyStyle());
        y += rowH;
    }
}

void DrawHeading(Image& img, const char* text, int cx, int top, float height) {
    const Mask m = RenderText(Face::Bold, text, height, 1.0f, height * 0.08f);
    DrawStyled(img, m, cx - m.w / 2, top, HeadingStyle());
}

void DrawLine(Image& img, const char* text, int x, int y, float height, const TextStyle& style) {
    DrawStyled(img, RenderText(Face::Bold, text, height), x, y, style);
}

void DrawCentredLine(Image& img, const char* text, int cx, int y, float height, const TextStyle& style) {
    const Mask m = RenderText(Face::Bold, text, height, 1.0f, height * 0.04f);
    DrawStyled(img, m, cx - m.w / 2, y, style);
}

}  // namespace

Image MakeTitle() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    DrawBackdrop(img, 115);
    Glow(img, 512, 300, 420, Hex(0x5A3AA0), 0.35f);
    DrawPile(img, 0, SCREEN_H, 40, {5, 4, 6, 3, 2, 1}, 11, 1.0f);
    DrawPile(img, SCREEN_W - 6 * 40, SCREEN_H, 40, {1, 2, 4, 3, 5, 6}, 12, 1.0f);
    DrawPiece(img, 130, 70, 40, 6, 0);
    DrawPiece(img, 800, 120, 40, 7, 1);
    DrawPiece(img, 700, 20, 34, 4, 0, 0.8f);
    DrawLogo(img, 512, 290, 184.0f);
    DrawCentredLine(img, "A FALLING-BLOCK PUZZLE", 512, 440, 30.0f, BodyStyle());
    DrawCentredLine(img, "PRESS SPACE OR CLICK TO PLAY", 512, 650, 30.0f, HeadingStyle());
    return img;
}

Image MakeMenu() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    DrawBackdrop(img, 118);
    DrawLogo(img, 330, 130, 130.0f);
    DrawPile(img, 664, SCREEN_H, 36, {2, 3, 5, 4, 6, 7, 5, 4, 3, 2}, 21, 1.0f);
    DrawPiece(img, 808, 300, 36, 3, 1);
    DrawPiece(img, 470, 560, 36, 5, 0, 0.9f);
    for (const MenuItem& item : MENU_ITEMS) DrawButton(img, item, false);
    return img;
}

Image MakeMenuHighlight() {
    Image img(SCREEN_W, SCREEN_H, Hex(0, 0.0f));
    for (const MenuItem& item : MENU_ITEMS) DrawButton(img, item, true);
    return img;
}

Image MakeInfo() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    DrawBackdrop(img, 122);
    DrawHeading(img, "HOW TO PLAY", 512, 24, 62.0f);
    DrawFramedPanel(img, 32, 118, 500, 632, 0.92f);
    DrawFramedPanel(img, 524, 118, 992, 632, 0.92f);
    DrawHeading(img, "CONTROLS", 266, 134, 34.0f);
    DrawHeading(img, "HOTKEYS", 758, 134, 34.0f);
    DrawKeyTable(img, 56, 196, 54,
                 {{{"\u2191", "W"}, "Rotate"},
                  {{"Ctrl"}, "Rotate the other way"},
                  {{"\u2190", "A"}, "Move left"},
                  {{"\u2192", "D"}, "Move right"},
                  {{"\u2193", "S"}, "Hard drop"},
                  {{"Space"}, "Soft drop"},
                  {{"Esc"}, "Back to the menu"}});
    DrawKeyTable(img, 548, 196, 47,
                 {{{"P"}, "Pause"},
                  {{"PgUp", "PgDn"}, "Effect volume"},
                  {{"Num+", "Num\u2212"}, "Music volume"},
                  {{"M"}, "Music on / off"},
                  {{"N"}, "Sounds on / off"},
                  {{"R"}, "Reverse rotation"},
                  {{"F10"}, "Full screen"},
                  {{"F12"}, "Quit"}});
    TextStyle small = BodyStyle();
    DrawLine(img, "Fill a row across the well to clear it.", 56, 578, 20.0f, small);
    DrawLine(img, "Every 10 rows: next level, faster fall.", 548, 578, 20.0f, small);
    DrawCentredLine(img, "PRESS ESCAPE OR CLICK TO RETURN TO THE MENU", 512, 672, 28.0f, HeadingStyle());
    return img;
}

Image MakeOptions() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    DrawBackdrop(img, 121);
    DrawLogo(img, 256, 96, 96.0f);
    DrawFramedPanel(img, 40, 200, 472, 420, 0.9f);
    TextStyle body = BodyStyle();
    DrawHeading(img, "SETTINGS", 256, 218, 34.0f);
    DrawLine(img, "Click \u2212 or + to change a value,", 66, 282, 22.0f, body);
    DrawLine(img, "or a switch to turn it on or off.", 66, 316, 22.0f, body);
    DrawLine(img, "Every change counts at once.", 66, 350, 22.0f, body);
    DrawPile(img, 40, SCREEN_H, 36, {3, 5, 4, 2, 6, 4, 3, 5, 2, 1, 3, 2}, 31, 1.0f);
    DrawPiece(img, 150, 470, 36, 7, 0);
    DrawPiece(img, 330, 520, 36, 2, 2);
    return img;
}

Image MakeHighScores() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    DrawBackdrop(img, 119);
    DrawHeading(img, "HIGH SCORES", 512, 70, 84.0f);
    DrawFramedPanel(img, 146, 378, 760, 678, 0.94f);
    for (int i = 0; i < 8; ++i) {
        const int y = 400 + 32 * i;
        if (i % 2 == 0) FillShape(img, 156, y, 750, y + 32, RoundedRect(156, static_cast<float>(y), 750, static_cast<float>(y + 32), 4), Hex(0xFFFFFF, 0.05f));
        const Mask rank = RenderText(Face::Bold, std::to_string(i + 1) + ".", 24.0f);
        DrawStyled(img, rank, 206 - rank.w, y + (32 - rank.h) / 2, HeadingStyle());
    }
    DrawPile(img, 868, SCREEN_H, 39, {4, 3, 5, 6}, 41, 1.0f);
    DrawPile(img, 0, SCREEN_H, 39, {3, 2}, 42, 1.0f);
    DrawPiece(img, 840, 240, 39, 1, 0);
    DrawPiece(img, 40, 230, 39, 6, 2);
    DrawCentredLine(img, "ESCAPE OR A CLICK RETURNS TO THE MENU", 512, 706, 24.0f, BodyStyle());
    return img;
}
