#include <algorithm>
#include <string>
#include <vector>

#include "images.h"
#include "images_text.h"
#include "screens/menu_items.h"

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
constexpr MenuItem Item(MenuItemIndex index, const char* word, float textHeight) {
    const SpriteRect& r = MENU_ITEM_RECTS[index];
    return {r.left, r.top, r.right, r.bottom, word, textHeight};
}
constexpr MenuItem MENU_ITEMS[MENU_ITEM_COUNT] = {
    Item(EXIT_ITEM, "EXIT", 44.0f),       Item(HELP_ITEM, "HELP", 44.0f),
    Item(START_ITEM, "START", 78.0f),     Item(OPTIONS_ITEM, "OPTIONS", 44.0f),
    Item(HIGH_SCORES_ITEM, "HIGH SCORES", 44.0f)};

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

// A controller's button or D-pad arm beside the keys: "A" and "B" are the round face buttons,
// "Start" and "Back" the small pills, "dpad-left" and so on the D-pad with that arm lit.
constexpr int PAD_SIGN_SIZE = 34;
const Color PAD_BODY_TOP = Hex(0x5A5F78);
const Color PAD_BODY_BOTTOM = Hex(0x2C2F47);
const Color PAD_RIM = Hex(0xC9CEE6);

bool IsDpadSign(const std::string& sign) { return sign.rfind("dpad-", 0) == 0; }

Mask PadPillLabel(const std::string& sign) { return RenderText(Face::Bold, sign, 15.0f); }

int PadSignWidth(const std::string& sign) {
    if (sign.empty()) return 0;
    if (sign == "A" || sign == "B" || IsDpadSign(sign)) return PAD_SIGN_SIZE;
    return PadPillLabel(sign).w + 24;
}

TextStyle PadLetterStyle() {
    TextStyle s = BodyStyle();
    s.outlineWidth = 0.0f;
    s.shadowX = 0;
    s.shadowY = 1;
    return s;
}

void DrawFaceButton(Image& img, int x, int y, const std::string& letter) {
    const float r = PAD_SIGN_SIZE / 2.0f;
    const float cx = static_cast<float>(x) + r, cy = static_cast<float>(y) + r;
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE + 4, Circle(cx, cy + 3, r),
              Hex(0x05030F, 0.7f));
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE, Circle(cx, cy, r), PAD_RIM);
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE, Circle(cx, cy, r - 2.5f),
              VerticalGradient(static_cast<float>(y), PAD_BODY_TOP,
                               static_cast<float>(y + PAD_SIGN_SIZE), PAD_BODY_BOTTOM));
    const Mask text = RenderText(Face::Bold, letter, 19.0f);
    DrawStyledCentred(img, text, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE, PadLetterStyle());
}

// A D-pad seen from above: a cross whose one arm, the one meant, is lit with its arrow.
void DrawDpad(Image& img, int x, int y, const std::string& sign) {
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
    const float s = PAD_SIGN_SIZE, arm = 12.0f, a0 = (s - arm) / 2, a1 = a0 + arm;
    const Inside cross = [=](float px, float py) {
        const float u = px - fx, v = py - fy;
        return (u >= a0 && u < a1 && v >= 0 && v < s) || (v >= a0 && v < a1 && u >= 0 && u < s);
    };
    const Inside outline = [=](float px, float py) {
        const float u = px - fx, v = py - fy;
        return (u >= a0 - 2 && u < a1 + 2 && v >= -2 && v < s + 2) ||
               (v >= a0 - 2 && v < a1 + 2 && u >= -2 && u < s + 2);
    };
    FillShape(img, x - 2, y - 2, x + PAD_SIGN_SIZE + 2, y + PAD_SIGN_SIZE + 2, outline, PAD_RIM);
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE, cross,
              VerticalGradient(fy, PAD_BODY_TOP, fy + s, PAD_BODY_BOTTOM));
    // The lit arm, then its arrow pointing outwards.
    float lx0 = a0, ly0 = a0, lx1 = a1, ly1 = a1;
    float tip[2] = {0, 0}, b1[2] = {0, 0}, b2[2] = {0, 0};
    const float in = 3.0f;
    if (sign == "dpad-left") {
        lx0 = 0, lx1 = a0;
        tip[0] = in, tip[1] = s / 2, b1[0] = a0 - 1, b1[1] = a0 + 2, b2[0] = a0 - 1, b2[1] = a1 - 2;
    } else if (sign == "dpad-right") {
        lx0 = a1, lx1 = s;
        tip[0] = s - in, tip[1] = s / 2, b1[0] = a1 + 1, b1[1] = a0 + 2, b2[0] = a1 + 1, b2[1] = a1 - 2;
    } else if (sign == "dpad-up") {
        ly0 = 0, ly1 = a0;
        tip[0] = s / 2, tip[1] = in, b1[0] = a0 + 2, b1[1] = a0 - 1, b2[0] = a1 - 2, b2[1] = a0 - 1;
    } else {
        ly0 = a1, ly1 = s;
        tip[0] = s / 2, tip[1] = s - in, b1[0] = a0 + 2, b1[1] = a1 + 1, b2[0] = a1 - 2, b2[1] = a1 + 1;
    }
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE,
              RoundedRect(fx + lx0, fy + ly0, fx + lx1, fy + ly1, 1.5f),
              VerticalGradient(fy + ly0, Hex(0xFFF2A0), fy + ly1, Hex(0xFF9A2A)));
    FillShape(img, x, y, x + PAD_SIGN_SIZE, y + PAD_SIGN_SIZE,
              Triangle(fx + tip[0], fy + tip[1], fx + b1[0], fy + b1[1], fx + b2[0], fy + b2[1]),
              Hex(0x2A1030));
}

void DrawPadPill(Image& img, int x, int y, const std::string& label) {
    const Mask text = PadPillLabel(label);
    const int w = text.w + 24, h = 26, top = y + (PAD_SIGN_SIZE - h) / 2;
    const auto fx = static_cast<float>(x), ft = static_cast<float>(top), fw = static_cast<float>(w);
    FillShape(img, x, top, x + w, top + h + 4, RoundedRect(fx, ft + 3, fx + fw, ft + h + 3, 13.0f),
              Hex(0x05030F, 0.7f));
    FillShape(img, x, top, x + w, top + h, RoundedRect(fx, ft, fx + fw, ft + h, 13.0f), PAD_RIM);
    FillShape(img, x, top, x + w, top + h,
              RoundedRect(fx + 2, ft + 2, fx + fw - 2, ft + h - 2, 11.0f),
              VerticalGradient(ft, PAD_BODY_TOP, ft + h, PAD_BODY_BOTTOM));
    DrawStyledCentred(img, text, x, top, x + w, top + h, PadLetterStyle());
}

// Returns the sign's right edge.
int DrawPadSign(Image& img, int x, int y, const std::string& sign) {
    if (sign == "A" || sign == "B") {
        DrawFaceButton(img, x, y, sign);
    } else if (IsDpadSign(sign)) {
        DrawDpad(img, x, y, sign);
    } else {
        DrawPadPill(img, x, y, sign);
    }
    return x + PadSignWidth(sign);
}

struct KeyRow {
    std::vector<std::string> keys;
    std::string pad;  // the controller's sign for the same thing, if it has one
    const char* meaning;
};

constexpr int KEY_GAP = 8;
constexpr int PAD_GAP = 12;

int KeysWidth(const KeyRow& row) {
    int w = 0;
    for (const std::string& k : row.keys) w += KeyCapWidth(KeyLabel(k)) + KEY_GAP;
    return w;
}

// Where a table puts the controller's signs: in a column of their own after the widest keys, or
// each straight after its row's keys.
enum class PadPlace { Column, AfterKeys };

// Key caps in a column from x, then the controller's signs, then each row's meaning in a last
// column after the widest of them.
void DrawKeyTable(Image& img, int x, int y, int rowH, const std::vector<KeyRow>& rows,
                  PadPlace place) {
    int keysW = 0, padW = 0, rowW = 0;
    for (const KeyRow& row : rows) {
        const int pad = PadSignWidth(row.pad);
        keysW = std::max(keysW, KeysWidth(row));
        padW = std::max(padW, pad);
        rowW = std::max(rowW, KeysWidth(row) + (pad > 0 ? pad + PAD_GAP : 0));
    }
    const int padX = keysW + PAD_GAP - KEY_GAP;
    const int meaningX = x + (place == PadPlace::Column ? padX + padW : rowW) + 14;
    for (const KeyRow& row : rows) {
        int kx = x;
        for (const std::string& k : row.keys) kx = DrawKeyCap(img, kx, y, k) + KEY_GAP;
        if (!row.pad.empty()) {
            const int px = place == PadPlace::Column ? x + padX : kx + PAD_GAP - KEY_GAP;
            DrawPadSign(img, px, y, row.pad);
        }
        const Mask text = RenderText(Face::Bold, row.meaning, 21.0f);
        DrawStyled(img, text, meaningX, y + KEY_BASELINE + text.oy, BodyStyle());
        y += rowH;
    }
}

// One centred line of key caps, controller signs and words, as the way back to the menu.
struct FooterPart {
    enum Kind { Key, Pad, Words } kind;
    std::string text;
};

void DrawFooter(Image& img, int cx, int y, const std::vector<FooterPart>& parts) {
    constexpr float WORDS_HEIGHT = 26.0f;
    constexpr int PART_GAP = 10;
    auto width = [](const FooterPart& part) {
        switch (part.kind) {
            case FooterPart::Key:
                return KeyCapWidth(KeyLabel(part.text));
            case FooterPart::Pad:
                return PadSignWidth(part.text);
            case FooterPart::Words:
                break;
        }
        return RenderText(Face::Bold, part.text, WORDS_HEIGHT, 1.0f, 1.0f).w;
    };
    int total = -PART_GAP;
    for (const FooterPart& part : parts) total += width(part) + PART_GAP;
    int x = cx - total / 2;
    for (const FooterPart& part : parts) {
        if (part.kind == FooterPart::Key) {
            DrawKeyCap(img, x, y, part.text);
        } else if (part.kind == FooterPart::Pad) {
            DrawPadSign(img, x, y, part.text);
        } else {
            const Mask m = RenderText(Face::Bold, part.text, WORDS_HEIGHT, 1.0f, 1.0f);
            DrawStyled(img, m, x, y + KEY_BASELINE + m.oy, HeadingStyle());
        }
        x += width(part) + PART_GAP;
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
    DrawFramedPanel(img, 24, 118, 512, 640, 0.92f);
    DrawFramedPanel(img, 528, 118, 1000, 640, 0.92f);
    DrawHeading(img, "CONTROLS", 268, 134, 34.0f);
    DrawHeading(img, "HOTKEYS", 764, 134, 34.0f);
    DrawKeyTable(img, 46, 192, 49,
                 {{{"\u2191", "W"}, "A", "Rotate"},
                  {{"Ctrl"}, "B", "Rotate the other way"},
                  {{"\u2190", "A"}, "dpad-left", "Move left"},
                  {{"\u2192", "D"}, "dpad-right", "Move right"},
                  {{"\u2193", "S"}, "dpad-up", "Hard drop"},
                  {{"Space"}, "dpad-down", "Soft drop"},
                  {{"Esc"}, "Back", "Back to the menu"}},
                 PadPlace::Column);
    DrawKeyTable(img, 552, 192, 43,
                 {{{"P"}, "Start", "Pause"},
                  {{"PgUp", "PgDn"}, "", "Effect volume"},
                  {{"Num+", "Num\u2212"}, "", "Music volume"},
                  {{"M"}, "", "Music on / off"},
                  {{"N"}, "", "Sounds on / off"},
                  {{"R"}, "", "Reverse rotation"},
                  {{"F10"}, "", "Full screen"},
                  {{"F12"}, "", "Quit"}},
                 PadPlace::AfterKeys);
    TextStyle small = BodyStyle();
    DrawLine(img, "Menus: arrows or D-pad, Enter or A.", 46, 540, 20.0f, small);
    DrawLine(img, "Fill a row across the well to clear it.", 46, 572, 20.0f, small);
    DrawLine(img, "Other keys: OPTIONS, then CONTROLS.", 46, 604, 20.0f, small);
    DrawLine(img, "Every 10 rows: next level, faster fall.", 552, 540, 20.0f, small);
    DrawLine(img, "Your name: D-pad \u2191\u2193 picks letters.", 552, 572, 20.0f, small);
    DrawLine(img, "Title left alone: a demo (CONTROLS).", 552, 604, 20.0f, small);
    DrawFooter(img, 512, 672,
               {{FooterPart::Key, "Esc"},
                {FooterPart::Key, "Enter"},
                {FooterPart::Pad, "B"},
                {FooterPart::Pad, "A"},
                {FooterPart::Words, "OR A CLICK: BACK TO THE MENU"}});
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
