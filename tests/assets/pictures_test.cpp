// The built-in pictures: sizes and formats the loader relies on, the sprite sheet's layout,
// the menu artwork at its hit rectangles, and readability where the game draws over them.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "screens/menu_items.h"

namespace {

struct Rgba {
    int r, g, b, a;
    bool IsKey() const { return r == 255 && g == 0 && b == 255 && a == 255; }
    double Luma() const { return (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255.0; }
};

struct Picture {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    Rgba At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

Picture Decode(int id, const char* magic) {
    const auto bytes = FindResource("RCDATA", id);
    Picture p;
    if (bytes.size() < 4 || std::memcmp(bytes.data(), magic, std::strlen(magic)) != 0) {
        ADD_FAILURE() << "resource " << id << " is missing or not in its format";
        return p;
    }
    SurfacePtr raw(IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1),
                   SDL_FreeSurface);
    if (!raw) {
        ADD_FAILURE() << "resource " << id << " does not decode";
        return p;
    }
    SurfacePtr s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGBA32, 0), SDL_FreeSurface);
    p.w = s->w;
    p.h = s->h;
    for (int y = 0; y < p.h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < p.w; ++x) p.px.push_back({row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]});
    }
    return p;
}

const char* const JPEG = "\xFF\xD8\xFF";
const char* const PNG = "\x89PNG";

// Mean luminance step between neighbouring pixels: how busy an area looks.
double Busyness(const Picture& p, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1 - 1; ++y) {
        for (int x = x0; x < x1 - 1; ++x) {
            const double l = p.At(x, y).Luma();
            sum += std::fabs(l - p.At(x + 1, y).Luma()) + std::fabs(l - p.At(x, y + 1).Luma());
        }
    }
    return sum / ((x1 - x0 - 1) * (y1 - y0 - 1));
}

double MeanLuma(const Picture& p, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) sum += p.At(x, y).Luma();
    }
    return sum / ((x1 - x0) * (y1 - y0));
}

// The menu's highlight rectangles (left, top, right, bottom; right and bottom exclusive).
constexpr auto MENU_RECTS = [] {
    std::array<std::array<int, 4>, MENU_ITEM_COUNT> rects{};
    for (int i = 0; i < MENU_ITEM_COUNT; ++i) {
        const SpriteRect& r = MENU_ITEM_RECTS[static_cast<std::size_t>(i)];
        rects[static_cast<std::size_t>(i)] = {r.left, r.top, r.right, r.bottom};
    }
    return rects;
}();

}  // namespace

TEST(Pictures, EveryPictureHasItsFormatAndSize) {
    for (int id : {115, 118, 119, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132}) {
        const Picture p = Decode(id, JPEG);
        EXPECT_EQ(p.w, 1024) << id;
        EXPECT_EQ(p.h, 768) << id;
    }
    const Picture sheet = Decode(116, PNG), highlight = Decode(120, PNG), panel = Decode(117, PNG);
    const Picture ghost = Decode(136, PNG);
    EXPECT_EQ(ghost.w, 256);
    EXPECT_EQ(ghost.h, 32);
    EXPECT_EQ(sheet.w, 256);
    EXPECT_EQ(sheet.h, 128);
    EXPECT_EQ(highlight.w, 1024);
    EXPECT_EQ(highlight.h, 768);
    ASSERT_EQ(panel.w, 320);
    ASSERT_EQ(panel.h, 640);
    for (const Rgba& c : panel.px) ASSERT_TRUE(c.r == 0 && c.g == 0 && c.b == 0 && c.a == 255);

    const auto icon = FindResource("ICON", 104);
    ASSERT_GE(icon.size(), 4u);
    EXPECT_EQ(std::memcmp(icon.data(), PNG, 4), 0);
}

// Every level-up fades to a picture of its own: no two level pictures alike, nor even close.
TEST(Pictures, LevelBackgroundsAreTenDistinctCalmScenes) {
    std::vector<Picture> levels;
    for (int id = 123; id <= 132; ++id) {
        levels.push_back(Decode(id, JPEG));
        const Picture& p = levels.back();
        ASSERT_EQ(p.w, 1024);
        EXPECT_LT(Busyness(p, 352, 32, 672, 672), 0.02) << "well of " << id;
        EXPECT_LT(Busyness(p, 32, 32, 260, 183), 0.02) << "counters of " << id;
    }
    for (std::size_t a = 0; a < levels.size(); ++a) {
        for (std::size_t b = a + 1; b < levels.size(); ++b) {
            double diff = 0;
            for (std::size_t i = 0; i < levels[a].px.size(); ++i) {
                const Rgba p = levels[a].px[i], q = levels[b].px[i];
                diff += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
            }
            EXPECT_GT(diff / (3.0 * static_cast<double>(levels[a].px.size())), 12.0)
                << "level pictures " << 123 + a << " and " << 123 + b << " look alike";
        }
    }
}

TEST(Pictures, SpriteSheetTilesAreKeyedAndTellApartWithoutColour) {
    const Picture sheet = Decode(116, PNG);
    ASSERT_EQ(sheet.w, 256);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) ASSERT_TRUE(sheet.At(x, y).IsKey()) << "tile 0 at " << x << "," << y;
    }
    // What a player without colour vision sees: the tiles' grey levels must differ clearly.
    std::vector<std::vector<double>> grey(8);
    for (int t = 1; t <= 7; ++t) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const Rgba c = sheet.At(32 * t + x, y);
                ASSERT_EQ(c.a, 255) << "tile " << t;
                grey[t].push_back(c.Luma());
            }
        }
    }
    for (int a = 1; a <= 7; ++a) {
        for (int b = a + 1; b <= 7; ++b) {
            double diff = 0;
            for (std::size_t i = 0; i < grey[a].size(); ++i) diff += std::fabs(grey[a][i] - grey[b][i]);
            EXPECT_GT(diff / static_cast<double>(grey[a].size()), 0.05) << "tiles " << a << " and " << b;
        }
    }
}

TEST(Pictures, GlyphCellsHoldTheFontAndNothingElse) {
    const Picture sheet = Decode(116, PNG);
    ASSERT_EQ(sheet.h, 128);
    // Cells in use: row 0 digits, '/', '-', '+' and two spare signs; row 1 A..P; row 2 Q..Z, '!'.
    const int used[3] = {16, 16, 11};
    std::vector<std::vector<Rgba>> cells;
    for (int row = 0; row < 3; ++row) {
        for (int cell = 0; cell < 16; ++cell) {
            std::vector<Rgba> px;
            int ink = 0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const Rgba c = sheet.At(16 * cell + x, 32 + 32 * row + y);
                    // Soft edges carry alpha, never a blend with the key colour.
                    EXPECT_TRUE(c.IsKey() || !(c.r > 160 && c.g < 90 && c.b > 160)) << row << "," << cell;
                    ink += !c.IsKey() && c.a > 128;
                    px.push_back(c);
                }
            }
            const bool blank = (row == 0 && cell == 10) || cell >= used[row];
            if (blank) {
                EXPECT_EQ(ink, 0) << "cell " << cell << " of glyph row " << row << " should be empty";
            } else {
                EXPECT_GT(ink, 20) << "cell " << cell << " of glyph row " << row << " has no glyph";
                cells.push_back(px);
            }
        }
    }
    for (std::size_t a = 0; a < cells.size(); ++a) {
        for (std::size_t b = a + 1; b < cells.size(); ++b) {
            EXPECT_FALSE(std::equal(cells[a].begin(), cells[a].end(), cells[b].begin(),
                                    [](Rgba p, Rgba q) { return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a; }))
                << "glyph cells " << a << " and " << b << " are alike";
        }
    }
}

TEST(Pictures, MenuItemsAndHighlightsStandAtTheHitRectangles) {
    const Picture menu = Decode(118, JPEG), lit = Decode(120, PNG);
    ASSERT_EQ(lit.w, 1024);
    ASSERT_EQ(menu.w, 1024);
    auto inItem = [](int x, int y) {
        for (const auto& r : MENU_RECTS) {
            if (x >= r[0] && x < r[2] && y >= r[1] && y < r[3]) return true;
        }
        return false;
    };
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (!inItem(x, y)) {
                ASSERT_TRUE(lit.At(x, y).IsKey()) << "highlight outside the items at " << x << "," << y;
            }
        }
    }
    for (const auto& r : MENU_RECTS) {
        int covered = 0;
        double lo = 1, hi = 0;
        for (int y = r[1]; y < r[3]; ++y) {
            for (int x = r[0]; x < r[2]; ++x) {
                covered += !lit.At(x, y).IsKey() && lit.At(x, y).a == 255;
                lo = std::min(lo, menu.At(x, y).Luma());
                hi = std::max(hi, menu.At(x, y).Luma());
            }
        }
        const int area = (r[2] - r[0]) * (r[3] - r[1]);
        EXPECT_GT(covered, area * 9 / 10) << "item at " << r[0] << "," << r[1] << " is not lit over its area";
        EXPECT_GT(hi - lo, 0.5) << "item at " << r[0] << "," << r[1] << " shows no word";
    }
}

TEST(Pictures, HighScoreTableStandsOnADarkCalmArea) {
    const Picture p = Decode(119, JPEG);
    ASSERT_EQ(p.w, 1024);
    // Names and scores are drawn straight onto the picture at x 220..731, y 400..655.
    EXPECT_LT(MeanLuma(p, 220, 400, 732, 656), 0.12);
    EXPECT_LT(Busyness(p, 220, 400, 732, 656), 0.02);
}
