#include "images_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* FONT_DIR = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* FONT_FILES[] = {"DejaVuSans-Bold.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSans.ttf"};

struct Fonts {
    FT_Library library = nullptr;
    FT_Face faces[3] = {};
};
Fonts fonts;

// Decodes one UTF-8 sequence; the pictures use a handful of non-ASCII signs (arrows, dash).
char32_t NextCodepoint(const std::string& s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    char32_t cp = b & (0x3F >> extra);
    while (extra-- > 0 && i < s.size()) cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

}  // namespace

bool OpenFonts() {
    if (fonts.library) return true;
    if (FT_Init_FreeType(&fonts.library) != 0) {
        std::fprintf(stderr, "assetgen: FreeType could not start\n");
        fonts.library = nullptr;
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        const std::string path = std::string(FONT_DIR) + FONT_FILES[i];
        if (FT_New_Face(fonts.library, path.c_str(), 0, &fonts.faces[i]) != 0) {
            std::fprintf(stderr, "assetgen: cannot open %s (package fonts-dejavu-core)\n", path.c_str());
            CloseFonts();
            return false;
        }
    }
    return true;
}

void CloseFonts() {
    for (FT_Face& f : fonts.faces) {
        if (f) FT_Done_Face(f);
        f = nullptr;
    }
    if (fonts.library) FT_Done_FreeType(fonts.library);
    fonts.library = nullptr;
}

Mask RenderText(Face face, const std::string& text, float height, float widthScale,
                float tracking) {
    FT_Face f = fonts.faces[static_cast<int>(face)];
    FT_Set_Char_Size(f, static_cast<FT_F26Dot6>(std::lround(height * widthScale * 64.0f)),
                     static_cast<FT_F26Dot6>(std::lround(height * 64.0f)), 72, 72);

    // First pass collects the glyph bitmaps on a generous canvas, second crops to the ink.
    const int canvasW = static_cast<int>(height * widthScale * 1.2f + tracking + 4) * static_cast<int>(text.size() + 2);
    const int canvasH = static_cast<int>(height * 2.0f) + 8;
    const int baseline = static_cast<int>(height * 1.3f) + 4;
    Mask canvas(canvasW, canvasH);
    float pen = 4.0f;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = NextCodepoint(text, i);
        if (FT_Load_Char(f, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot g = f->glyph;
        const int left = static_cast<int>(std::lround(pen)) + g->bitmap_left;
        const int top = baseline - g->bitmap_top;
        for (unsigned int y = 0; y < g->bitmap.rows; ++y) {
            for (unsigned int x = 0; x < g->bitmap.width; ++x) {
                const int cx = left + static_cast<int>(x), cy = top + static_cast<int>(y);
                if (cx < 0 || cy < 0 || cx >= canvas.w || cy >= canvas.h) continue;
                const float v = static_cast<float>(g->bitmap.buffer[y * static_cast<unsigned>(g->bitmap.pitch) + x]) / 255.0f;
                canvas.At(cx, cy) = std::max(canvas.At(cx, cy), v);
            }
        }
        pen += static_cast<float>(g->advance.x) / 64.0f + tracking;
    }

    int x0 = canvas.w, y0 = canvas.h, x1 = -1, y1 = -1;
    for (int y = 0; y < canvas.h; ++y) {
        for (int x = 0; x < canvas.w; ++x) {
            if (canvas.At(x, y) <= 0.0f) continue;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) return Mask(0, 0);
    Mask out(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = 0; y < out.h; ++y) {
        for (int x = 0; x < out.w; ++x) out.At(x, y) = canvas.At(x + x0, y + y0);
    }
    out.ox = 0;
    out.oy = y0 - baseline;  // negative: the ink's top above the baseline
    return out;
}

void DrawStyled(Image& img, const Mask& text, int x, int y, const TextStyle& style) {
    if (text.w == 0) return;
    Mask m = text;
    m.ox = x;
    m.oy = y;
    const Mask outline = Dilate(m, style.outlineWidth);
    if (style.glowRadius > 0 && style.glow.a > 0) DrawMask(img, Blur(outline, style.glowRadius), 0, 0, style.glow);
    if (style.shadow.a > 0) DrawMask(img, Blur(outline, 1), style.shadowX, style.shadowY, style.shadow);
    if (style.outlineWidth > 0) DrawMask(img, outline, 0, 0, style.outline);
    DrawMask(img, m, 0, 0, VerticalGradient(static_cast<float>(y), style.top, static_cast<float>(y + m.h), style.bottom));
}

void DrawStyledCentred(Image& img, const Mask& text, int x0, int y0, int x1, int y1,
                       const TextStyle& style) {
    DrawStyled(img, text, x0 + (x1 - x0 - text.w) / 2, y0 + (y1 - y0 - text.h) / 2, style);
}

TextStyle HeadingStyle() {
    TextStyle s;
    s.top = Hex(0xFFF4B8);
    s.bottom = Hex(0xFFA21F);
    s.outline = Hex(0x1C0A26);
    s.outlineWidth = 2.5f;
    return s;
}

TextStyle BodyStyle() {
    TextStyle s;
    s.top = Hex(0xFFFFFF);
    s.bottom = Hex(0xC9D6FF);
    s.outlineWidth = 1.5f;
    s.shadowX = 1;
    s.shadowY = 2;
    return s;
}

TextStyle KeyCapStyle() {
    TextStyle s;
    s.top = Hex(0x1A1030);
    s.bottom = Hex(0x2A1C48);
    s.outlineWidth = 0.0f;
    s.shadow = Hex(0xFFFFFF, 0.35f);
    s.shadowX = 0;
    s.shadowY = 1;
    return s;
}
