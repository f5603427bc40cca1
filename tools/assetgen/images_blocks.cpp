#include <algorithm>
#include <cmath>

#include "images.h"
#include "images_text.h"

namespace {

// By type: 1 square, 2 and 3 the hooks, 4 and 5 the skews, 6 the T, 7 the bar.
constexpr std::uint32_t BLOCK_RGB[8] = {0x000000, 0xFFD836, 0x2440B0, 0xFF9326,
                                        0xD83A3A, 0x38B04A, 0xB05CE8, 0x55E0F2};

// The entering shapes, rows 1 and 2 of each 4 x 4 mask.
// The ghost tiles' rim width, how far its colour is lit towards white, and the body's opacity.
constexpr float GHOST_RIM = 2.5f;
constexpr float GHOST_RIM_LIGHT = 1.6f;
constexpr float GHOST_BODY_ALPHA = 0.32f;

constexpr const char* PIECE_ROWS[8][2] = {{"0000", "0000"}, {"0110", "0110"}, {"1110", "0010"},
                                          {"1110", "1000"}, {"1100", "0110"}, {"0110", "1100"},
                                          {"0100", "1110"}, {"1111", "0000"}};

// The emblem of a block in face coordinates (0..1 across the face, centre 0.5).
bool InEmblem(int type, float u, float v) {
    const float dx = u - 0.5f, dy = v - 0.5f;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float box = std::max(std::fabs(dx), std::fabs(dy));
    switch (type) {
        case 1: return box >= 0.17f && box <= 0.29f;
        case 2: return r <= 0.21f;
        case 3: return r >= 0.15f && r <= 0.29f;
        case 4:
            return box <= 0.27f && (std::fabs(dx - dy) <= 0.11f || std::fabs(dx + dy) <= 0.11f);
        case 5: return std::fabs(dx) + std::fabs(dy) <= 0.31f;
        case 6: return dy <= 0.24f && dy >= -0.28f && std::fabs(dx) <= (dy + 0.28f) * 0.6f;
        case 7: return std::fabs(dx) <= 0.29f && std::fabs(std::fabs(dy) - 0.13f) <= 0.065f;
        default: return false;
    }
}

}  // namespace

Color BlockColor(int type) { return Hex(BLOCK_RGB[std::clamp(type, 0, 7)]); }

void DrawBlock(Image& img, int x, int y, int size, int type, float opacity) {
    const Color c = BlockColor(type);
    const int bevel = std::max(2, size / 8);
    const float s = static_cast<float>(size);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            Color p;
            if (i == 0 || j == 0 || i == size - 1 || j == size - 1) {
                p = Scale(c, 0.32f);
            } else if (j < bevel && j <= i && j < size - 1 - i) {
                p = Scale(c, 1.5f);
            } else if (i < bevel && i < j && i < size - 1 - j) {
                p = Scale(c, 1.25f);
            } else if (j >= size - bevel && size - 1 - j <= i && size - 1 - j < size - 1 - i) {
                p = Scale(c, 0.58f);
            } else if (i >= size - bevel) {
                p = Scale(c, 0.74f);
            } else {
                const float t = static_cast<float>(j - bevel) / static_cast<float>(size - 2 * bevel);
                p = Mix(Scale(c, 1.12f), Scale(c, 0.9f), t);
            }
            BlendPixel(img, x + i, y + j, p, opacity);
        }
    }
    // Engraved emblem: a light rim below and to the right, the dark cut above it.
    const float face0 = static_cast<float>(bevel), faceSize = s - 2.0f * face0;
    const float lift = std::max(1.0f, s / 32.0f);
    auto emblem = [=](float ox, float oy) {
        return [=](float px, float py) {
            return InEmblem(type, (px - static_cast<float>(x) - ox - face0) / faceSize,
                            (py - static_cast<float>(y) - oy - face0) / faceSize);
        };
    };
    FillShape(img, x, y, x + size, y + size, emblem(lift, lift), WithAlpha(Scale(c, 1.35f), opacity * 0.9f));
    FillShape(img, x, y, x + size, y + size, emblem(0, 0), WithAlpha(Scale(c, 0.62f), opacity));
    // A small glint in the lit corner.
    const int g = std::max(1, size / 16);
    for (int j = 0; j < g; ++j) {
        for (int i = 0; i < 2 * g; ++i) {
            BlendPixel(img, x + bevel + 1 + i, y + bevel + 1 + j, Hex(0xFFFFFF), 0.7f * opacity);
            BlendPixel(img, x + bevel + 1 + j, y + bevel + 1 + i, Hex(0xFFFFFF), 0.7f * opacity);
        }
    }
}

// The ghost piece's tiles, in the sprite sheet's order: a see-through body in the piece's
// colour inside a light rim, the emblem faintly. The rim is lit towards white, so that even
// the darkest colours stand out on the darkest picture without passing for a landed block.
Image MakeGhostTiles() {
    constexpr int TILE = 32;
    Image tiles(8 * TILE, TILE, Hex(0, 0.0f));
    for (int type = 1; type <= 7; ++type) {
        const Color c = BlockColor(type);
        const auto x0 = static_cast<float>(TILE * type + 1), y0 = 1.0f;
        const auto x1 = x0 + TILE - 2.0f, y1 = y0 + TILE - 2.0f;
        const Inside outer = RoundedRect(x0, y0, x1, y1, 3.0f);
        const Inside inner = RoundedRect(x0 + GHOST_RIM, y0 + GHOST_RIM, x1 - GHOST_RIM, y1 - GHOST_RIM, 1.5f);
        FillShape(tiles, TILE * type, 0, TILE * (type + 1), TILE, inner, WithAlpha(Scale(c, 1.2f), GHOST_BODY_ALPHA));
        FillShape(tiles, TILE * type, 0, TILE * (type + 1), TILE,
                  [=](float x, float y) { return outer(x, y) && !inner(x, y); }, Scale(c, GHOST_RIM_LIGHT));
        FillShape(tiles, TILE * type, 0, TILE * (type + 1), TILE,
                  [=](float x, float y) { return InEmblem(type, (x - x0 - 3.0f) / (TILE - 8.0f), (y - y0 - 3.0f) / (TILE - 8.0f)); },
                  WithAlpha(Scale(c, GHOST_RIM_LIGHT), 0.45f));
    }
    return tiles;
}

void DrawPiece(Image& img, int x, int y, int size, int type, int turns, float opacity) {
    bool cells[4][4] = {};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c) cells[r + 1][c] = PIECE_ROWS[type][r][c] == '1';
    }
    for (int t = 0; t < (turns & 3); ++t) {
        bool turned[4][4];
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) turned[r][c] = cells[3 - c][r];
        }
        std::copy(&turned[0][0], &turned[0][0] + 16, &cells[0][0]);
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (cells[r][c]) DrawBlock(img, x + c * size, y + r * size, size, type, opacity);
        }
    }
}

void DrawBackdrop(Image& img, std::uint32_t seed) {
    FillVertical(img, Hex(0x090C26), Hex(0x26103F));
    Glow(img, static_cast<float>(img.w) * 0.72f, static_cast<float>(img.h) * 0.3f, 520.0f, Hex(0x3A2A7A), 0.45f);
    Glow(img, static_cast<float>(img.w) * 0.2f, static_cast<float>(img.h) * 0.85f, 420.0f, Hex(0x4A1850), 0.4f);
    Lcg rng(seed);
    for (int i = 0; i < 90; ++i) {
        const int x = static_cast<int>(rng.Uniform() * static_cast<float>(img.w));
        const int y = static_cast<int>(rng.Uniform() * static_cast<float>(img.h));
        const float a = 0.25f + 0.5f * rng.Uniform();
        BlendPixel(img, x, y, Hex(0xDDE4FF), a);
        if (rng.Uniform() < 0.2f) {
            BlendPixel(img, x + 1, y, Hex(0xDDE4FF), a * 0.5f);
            BlendPixel(img, x, y + 1, Hex(0xDDE4FF), a * 0.5f);
        }
    }
    for (int i = 0; i < 16; ++i) {
        const int size = 18 + static_cast<int>(rng.Uniform() * 26.0f);
        const int x = static_cast<int>(rng.Uniform() * static_cast<float>(img.w)) - 2 * size;
        const int y = static_cast<int>(rng.Uniform() * static_cast<float>(img.h)) - 2 * size;
        const int type = 1 + static_cast<int>(rng.Next() % 7);
        DrawPiece(img, x, y, size, type, static_cast<int>(rng.Next() % 4), 0.03f + static_cast<float>(size) * 0.0025f);
    }
}

void DrawFramedPanel(Image& img, int x0, int y0, int x1, int y1, float opacity) {
    const auto fx0 = static_cast<float>(x0), fy0 = static_cast<float>(y0);
    const auto fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    const Inside outer = RoundedRect(fx0, fy0, fx1, fy1, 14.0f);
    const Inside inner = RoundedRect(fx0 + 3, fy0 + 3, fx1 - 3, fy1 - 3, 11.0f);
    FillShape(img, x0, y0, x1, y1, inner, VerticalGradient(fy0, Hex(0x0E0A2A, opacity), fy1, Hex(0x07051A, opacity)));
    FillShape(img, x0, y0, x1, y1, [&](float x, float y) { return outer(x, y) && !inner(x, y); },
              VerticalGradient(fy0, Hex(0xF2C45A), fy1, Hex(0xA8662A)));
}

void DrawLogo(Image& img, int cx, int cy, float height) {
    const Mask logo = RenderText(Face::Bold, "Plemby!", height, 1.0f, height * 0.02f);
    TextStyle s = HeadingStyle();
    s.outlineWidth = std::max(2.5f, height / 28.0f);
    s.shadowX = static_cast<int>(height / 40.0f) + 1;
    s.shadowY = static_cast<int>(height / 24.0f) + 2;
    s.glow = Hex(0xFF7A30, 0.45f);
    s.glowRadius = static_cast<int>(height / 14.0f) + 2;
    DrawStyled(img, logo, cx - logo.w / 2, cy - logo.h / 2, s);
}
