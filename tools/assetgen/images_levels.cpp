#include <algorithm>
#include <cmath>

#include "images.h"

// The play screen's backgrounds: ten calm scenes in the game's night palette, one a level, each
// with a palette of its own so that every level-up brings a new place. The well (x 352..671)
// and the panels sit over them darkened, so they carry broad shapes and soft gradients rather
// than fine detail, and the sky behind the well stays dim enough for the ghost piece to show.

namespace {

constexpr int SCREEN_W = 1024, SCREEN_H = 768;
constexpr float PI = 3.14159265f;

void Stars(Image& img, std::uint32_t seed, int count, int maxY) {
    Lcg rng(seed);
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(rng.Uniform() * SCREEN_W);
        const int y = static_cast<int>(rng.Uniform() * static_cast<float>(maxY));
        const float a = (0.3f + 0.6f * rng.Uniform()) * (1.0f - static_cast<float>(y) / static_cast<float>(maxY));
        BlendPixel(img, x, y, Hex(0xF0F2FF), a);
        if (rng.Uniform() < 0.15f) {
            BlendPixel(img, x + 1, y, Hex(0xF0F2FF), a * 0.45f);
            BlendPixel(img, x - 1, y, Hex(0xF0F2FF), a * 0.45f);
            BlendPixel(img, x, y + 1, Hex(0xF0F2FF), a * 0.45f);
            BlendPixel(img, x, y - 1, Hex(0xF0F2FF), a * 0.45f);
        }
    }
}

// A ridge line: everything below `height(x)` takes the colour, with an anti-aliased edge
// and a gentle darkening towards the bottom.
template <typename Height>
void Ridge(Image& img, Height height, Color top, Color bottom) {
    for (int x = 0; x < SCREEN_W; ++x) {
        const float h = height(static_cast<float>(x) + 0.5f);
        const int y0 = std::max(0, static_cast<int>(std::floor(h)));
        for (int y = y0; y < SCREEN_H; ++y) {
            const float cover = std::clamp(static_cast<float>(y + 1) - h, 0.0f, 1.0f);
            const float t = (static_cast<float>(y) - h) / (static_cast<float>(SCREEN_H) - h + 1.0f);
            BlendPixel(img, x, y, Mix(top, bottom, t), cover);
        }
    }
}

// Sharp-crested ridges for mountains: folded noise peaks where it crosses zero.
float Peaks(float x, std::uint32_t seed) {
    return 1.0f - 2.0f * std::fabs(Noise1(x, seed)) * 0.7f - std::fabs(Noise1(x * 2.7f, seed + 5)) * 0.3f;
}

float Fractal(float x, std::uint32_t seed) {
    return Noise1(x, seed) * 0.6f + Noise1(x * 2.3f, seed + 7) * 0.28f + Noise1(x * 5.1f, seed + 13) * 0.12f;
}

Image NightPeaks() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x070B26), Hex(0x3C2A72));
    Glow(img, 512, 560, 620, Hex(0x7A4AA8), 0.35f);
    Stars(img, 501, 220, 520);
    // Moon with a soft halo.
    Glow(img, 850, 150, 190, Hex(0x8C9CE0), 0.35f);
    FillShape(img, 800, 100, 900, 200, Circle(850, 150, 44), VerticalGradient(106, Hex(0xFFFBEA), 194, Hex(0xE4DCC4)));
    FillShape(img, 800, 100, 900, 200, Circle(864, 138, 10), Hex(0xCFC6AE, 0.5f));
    FillShape(img, 800, 100, 900, 200, Circle(838, 168, 7), Hex(0xCFC6AE, 0.5f));
    Ridge(img, [](float x) { return 470.0f - 150.0f * Peaks(x / 230.0f, 3); }, Hex(0x3A3C86), Hex(0x24265C));
    Ridge(img, [](float x) { return 560.0f - 110.0f * Peaks(x / 160.0f, 5); }, Hex(0x2A2C6A), Hex(0x181A44));
    Ridge(img, [](float x) { return 590.0f + 50.0f * Fractal(x / 90.0f, 9); }, Hex(0x1A1A48), Hex(0x0C0C26));
    return img;
}

Image SunsetDunes() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x1E0836), Hex(0xFF8A48));
    Glow(img, 850, 470, 600, Hex(0xFF5C6C), 0.35f);
    Stars(img, 502, 90, 260);
    // A low sun cut by bands, the old synthwave way.
    // The sun stands right of the well, which would otherwise frame it.
    const float sunX = 850, sunY = 440;
    FillShape(img, 680, 240, 1024, 470,
              [=](float x, float y) {
                  if (!Circle(sunX, sunY, 150)(x, y)) return false;
                  if (y < sunY - 60) return true;
                  const float band = (y - (sunY - 60)) / 26.0f;
                  return band - std::floor(band) < 0.72f - 0.08f * std::floor(band);
              },
              VerticalGradient(290, Hex(0xFFF3A0), 470, Hex(0xFF4E7A)));
    auto dune = [](float base, float amp, float len, float phase) {
        return [=](float x) { return base + amp * std::sin(x / len * 2 * PI + phase) + amp * 0.4f * std::sin(x / len * 5.1f + phase * 2); };
    };
    Ridge(img, dune(470, 16, 700, 0.5f), Hex(0x8A2F5C), Hex(0x5A1C48));
    Ridge(img, dune(540, 30, 900, 2.1f), Hex(0x5E1A4C), Hex(0x3A1038));
    Ridge(img, dune(640, 38, 1100, 4.0f), Hex(0x3A0E34), Hex(0x1C0620));
    return img;
}

Image AuroraLake() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x03101E), Hex(0x0C3448));
    Stars(img, 503, 200, 480);
    // Curtains of light: soft bands along wavy lines, fading upwards.
    const struct {
        float base, amp, len, phase, width;
        std::uint32_t rgb;
        float strength;
    } BANDS[3] = {{200, 50, 520, 0.3f, 46, 0x35F0A0, 0.5f},
                  {260, 40, 380, 2.2f, 34, 0x2AD6E0, 0.4f},
                  {150, 60, 700, 4.1f, 40, 0x9A6CF0, 0.3f}};
    for (const auto& b : BANDS) {
        for (int x = 0; x < SCREEN_W; ++x) {
            const float fx = static_cast<float>(x);
            const float centre = b.base + b.amp * std::sin(fx / b.len * 2 * PI + b.phase);
            const float swell = 0.6f + 0.4f * std::sin(fx / 230.0f + b.phase * 1.7f);
            for (int y = 0; y < 470; ++y) {
                const float d = (static_cast<float>(y) - centre) / b.width;
                // Light hangs below the band's line and fades away above it.
                const float t = d < 0 ? std::exp(-d * d * 2.0f) : std::exp(-d * 0.6f);
                const float a = b.strength * swell * t;
                if (a > 0.003f) BlendPixel(img, x, y, Hex(b.rgb), a);
            }
        }
    }
    // Far hills and a line of pines at the shore.
    Ridge(img, [](float x) { return 430.0f + 40.0f * Fractal(x / 150.0f, 21); }, Hex(0x0E2A3A), Hex(0x0A1E2C));
    Ridge(img,
          [](float x) {
              const float tree = std::fmod(x + 1000.0f, 26.0f) / 26.0f;
              const float height = 36.0f + 22.0f * (Noise1(x / 26.0f, 33) * 0.5f + 0.5f);
              return 520.0f - height * (1.0f - std::fabs(tree - 0.5f) * 2.0f) + 6.0f * Noise1(x / 80.0f, 34);
          },
          Hex(0x06161F), Hex(0x041018));
    // The lake mirrors the sky, darker, from the shore down.
    const int shore = 536;
    for (int y = shore; y < SCREEN_H; ++y) {
        const int src = std::max(0, 2 * shore - y - 70);
        const float fade = 0.5f * (1.0f - static_cast<float>(y - shore) / static_cast<float>(SCREEN_H - shore));
        for (int x = 0; x < SCREEN_W; ++x) {
            const Color mirrored = Scale(img.At(x, src), 0.6f);
            img.At(x, y) = Mix(Hex(0x041420), mirrored, fade + 0.25f);
        }
    }
    return img;
}


// Smooth 2-D value noise in -1..1, for clouds, smoke and nebulae.
float Noise2(float x, float y, std::uint32_t seed) {
    auto lattice = [seed](int i, int j) {
        std::uint32_t h = static_cast<std::uint32_t>(i) * 374761393u +
                          static_cast<std::uint32_t>(j) * 2246822519u + seed * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        h ^= h >> 16;
        return static_cast<float>(h & 0xFFFF) / 32767.5f - 1.0f;
    };
    const float fx = std::floor(x), fy = std::floor(y);
    const int i = static_cast<int>(fx), j = static_cast<int>(fy);
    const float tx = x - fx, ty = y - fy;
    const float sx = tx * tx * (3.0f - 2.0f * tx), sy = ty * ty * (3.0f - 2.0f * ty);
    const float top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * sx;
    const float bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * sx;
    return top + (bottom - top) * sy;
}

float Fractal2(float x, float y, std::uint32_t seed) {
    return Noise2(x, y, seed) * 0.55f + Noise2(x * 2.1f, y * 2.1f, seed + 3) * 0.3f +
           Noise2(x * 4.3f, y * 4.3f, seed + 11) * 0.15f;
}

// A flat-topped rise of `height` over `centre` +- `half`, its sides sloping over `slope` pixels.
float Plateau(float x, float centre, float half, float slope, float height) {
    return height * std::clamp((half - std::fabs(x - centre)) / slope, 0.0f, 1.0f);
}

// Paints `c` over every pixel with the given strength, as a soft wash (mist, a lamp's beam).
template <typename Strength>
void Wash(Image& img, int x0, int y0, int x1, int y1, Color c, Strength strength) {
    for (int y = std::max(0, y0); y < std::min(SCREEN_H, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(SCREEN_W, x1); ++x) {
            const float a = strength(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            if (a > 0.002f) BlendPixel(img, x, y, c, std::min(a, 1.0f));
        }
    }
}

// A saguaro's silhouette: a trunk and two raised arms, standing on `base`.
void Saguaro(Image& img, float x, float base, float height, Color c) {
    const float w = height * 0.13f;
    FillShape(img, static_cast<int>(x - height), static_cast<int>(base - height - w), static_cast<int>(x + height),
              static_cast<int>(base) + 1,
              [=](float px, float py) {
                  const Inside trunk = RoundedRect(x - w / 2, base - height, x + w / 2, base + 1, w / 2);
                  const Inside leftArm = RoundedRect(x - w * 2.2f, base - height * 0.72f, x - w * 1.3f, base - height * 0.38f, w * 0.45f);
                  const Inside leftJoin = RoundedRect(x - w * 2.2f, base - height * 0.46f, x, base - height * 0.36f, w * 0.3f);
                  const Inside rightArm = RoundedRect(x + w * 1.3f, base - height * 0.84f, x + w * 2.2f, base - height * 0.5f, w * 0.45f);
                  const Inside rightJoin = RoundedRect(x, base - height * 0.58f, x + w * 2.2f, base - height * 0.48f, w * 0.3f);
                  return trunk(px, py) || leftArm(px, py) || leftJoin(px, py) || rightArm(px, py) || rightJoin(px, py);
              },
              c);
}

// Mesas at dusk: flat-topped buttes in rust and plum under an amber sky, a crescent moon and
// the evening star, saguaros in the foreground.
Image DuskMesas() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x160F3C), Hex(0xF0A060));
    Glow(img, 300, 560, 520, Hex(0xFF7A50), 0.4f);
    Stars(img, 504, 110, 300);
    // The crescent: a disc less a disc.
    FillShape(img, 140, 220, 240, 320,
              [](float x, float y) { return Circle(190, 270, 34)(x, y) && !Circle(204, 260, 30)(x, y); },
              Hex(0xFFF2D0));
    Glow(img, 190, 270, 90, Hex(0xFFE0B0), 0.12f);
    Glow(img, 868, 250, 26, Hex(0xFFFFFF), 0.5f);
    FillShape(img, 864, 246, 872, 254, Circle(868, 250, 2.6f), Hex(0xFFFFFF));
    Ridge(img,
          [](float x) {
              return 520.0f - Plateau(x, 140, 110, 30, 120) - Plateau(x, 520, 90, 40, 70) -
                     Plateau(x, 860, 150, 35, 150) - 8.0f * Fractal(x / 60.0f, 41);
          },
          Hex(0x8E4E6E), Hex(0x703A5E));
    Ridge(img,
          [](float x) {
              return 590.0f - Plateau(x, 330, 120, 26, 150) - Plateau(x, 700, 60, 22, 90) -
                     Plateau(x, 1010, 80, 30, 120) - 6.0f * Fractal(x / 50.0f, 43);
          },
          Hex(0x8A3440), Hex(0x5A1C38));
    Ridge(img, [](float x) { return 660.0f + 24.0f * Fractal(x / 180.0f, 45); }, Hex(0x3E1630), Hex(0x1E0A1C));
    Saguaro(img, 150, 676, 110, Hex(0x1A0818));
    Saguaro(img, 880, 690, 80, Hex(0x1A0818));
    Saguaro(img, 960, 672, 46, Hex(0x2A0E24));
    return img;
}

// A city at night: three rows of towers against a magenta horizon, their windows lit, and
// the glow of the streets reflected in the river below.
Image NeonCity() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x070822), Hex(0x6A1A6C));
    Glow(img, 512, 560, 700, Hex(0xFF3C9A), 0.3f);
    Glow(img, 160, 620, 420, Hex(0x2AC8E8), 0.18f);
    Stars(img, 505, 120, 330);
    FillShape(img, 820, 80, 940, 200, Circle(880, 140, 46), Hex(0xFFD6F0));
    Glow(img, 880, 140, 160, Hex(0xFF9AD8), 0.2f);
    const int river = 640;
    const struct {
        std::uint32_t seed;
        float minH, maxH, minW, maxW;
        std::uint32_t rgb;
        float windows;
    } ROWS[3] = {{61, 90, 260, 40, 90, 0x3A1C5C, 0.0f}, {62, 60, 200, 50, 100, 0x24123E, 0.10f}, {63, 30, 130, 60, 120, 0x120A22, 0.22f}};
    for (const auto& row : ROWS) {
        Lcg rng(row.seed);
        float x = -20.0f;
        while (x < SCREEN_W) {
            const float w = row.minW + (row.maxW - row.minW) * rng.Uniform();
            const float h = row.minH + (row.maxH - row.minH) * rng.Uniform();
            const float top = static_cast<float>(river) - h;
            const bool spire = rng.Uniform() < 0.25f;
            FillShape(img, static_cast<int>(x), static_cast<int>(top - 40), static_cast<int>(x + w) + 1, river,
                      [=](float px, float py) {
                          if (px >= x && px < x + w && py >= top) return true;
                          return spire && std::fabs(px - (x + w / 2)) < 2.0f && py >= top - 36;
                      },
                      Hex(row.rgb));
            // Windows in a grid, some lit: warm or cyan.
            for (float wy = top + 10; wy < static_cast<float>(river) - 12; wy += 14) {
                for (float wx = x + 7; wx < x + w - 9; wx += 12) {
                    const float roll = rng.Uniform();
                    if (roll >= row.windows) continue;
                    const Color lit = roll < row.windows * 0.7f ? Hex(0xFFC86A, 0.75f) : Hex(0x6AF0FF, 0.7f);
                    FillShape(img, static_cast<int>(wx), static_cast<int>(wy), static_cast<int>(wx) + 6,
                              static_cast<int>(wy) + 8, RoundedRect(wx, wy, wx + 5, wy + 7, 0.5f), lit);
                }
            }
            x += w + 4.0f + 18.0f * rng.Uniform();
        }
    }
    // The river mirrors the towers, broken into ripples.
    for (int y = river; y < SCREEN_H; ++y) {
        const float depth = static_cast<float>(y - river) / static_cast<float>(SCREEN_H - river);
        for (int x = 0; x < SCREEN_W; ++x) {
            // Each row of the water shifts as a whole, so the lights smear into streaks.
            const float ripple = 3.0f * Noise1(static_cast<float>(y) / 5.0f, 71) + 2.0f * Noise1(static_cast<float>(x) / 160.0f, 72);
            const int sy = std::max(0, 2 * river - y - 1);
            // Spread sideways: the lights smear into soft streaks on the moving water.
            Color mirrored = Hex(0, 0.0f);
            for (int dx = -9; dx <= 9; dx += 3) {
                const Color& c = img.At(std::clamp(x + static_cast<int>(ripple) + dx, 0, SCREEN_W - 1), sy);
                mirrored = {mirrored.r + c.r / 7.0f, mirrored.g + c.g / 7.0f, mirrored.b + c.b / 7.0f, 1.0f};
            }
            mirrored = Scale(mirrored, 0.6f - 0.3f * depth);
            img.At(x, y) = Mix(Hex(0x080616), mirrored, 0.8f);
        }
    }
    return img;
}

// A summit of a snowy range: its apex and how steeply its faces fall.
struct Summit {
    float x, top, slope;
};

// A range of summits, snow above a ragged line and bare rock below it.
template <std::size_t N>
void SnowRange(Image& img, const Summit (&summits)[N], std::uint32_t seed, Color lit, Color shade, Color rock) {
    for (int x = 0; x < SCREEN_W; ++x) {
        const float fx = static_cast<float>(x) + 0.5f;
        // The summit whose slope stands highest here shapes this column.
        const Summit* best = &summits[0];
        float h = SCREEN_H;
        for (const Summit& s : summits) {
            const float y = s.top + std::fabs(fx - s.x) * s.slope;
            if (y < h) h = y, best = &s;
        }
        h += 5.0f * Fractal(fx / 30.0f, seed);
        // Faces turned to the dawn (left of a summit) catch the light; ridges of light run down.
        const bool litFace = fx < best->x;
        const float streak = 0.5f + 0.5f * Noise1(fx / 9.0f, seed + 1);
        const Color snow = litFace ? Mix(lit, shade, 0.12f * streak) : Mix(shade, lit, 0.06f * streak);
        const float snowLine = best->top + 110.0f + 36.0f * Noise1(fx / 11.0f, seed + 2) + 30.0f * Noise1(fx / 60.0f, seed + 3);
        const int y0 = std::max(0, static_cast<int>(std::floor(h)));
        for (int y = y0; y < SCREEN_H; ++y) {
            const float cover = std::clamp(static_cast<float>(y + 1) - h, 0.0f, 1.0f);
            const float below = static_cast<float>(y) - snowLine;
            const Color stone = Mix(Scale(rock, litFace ? 1.15f : 1.0f), rock, (static_cast<float>(y) - h) / 200.0f);
            const Color c = below < 0 ? snow : stone;
            BlendPixel(img, x, y, c, cover);
        }
    }
}

// Snowy peaks in the blue hour before dawn: faceted summits with lit and shadowed faces, a
// pink horizon, pines below and snow drifting down.
Image SnowPeaks() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x080E30), Hex(0x6A5C98));
    Glow(img, 560, 620, 600, Hex(0xE898B8), 0.4f);
    Stars(img, 506, 170, 380);
    const Summit FAR[] = {{120, 300, 0.9f}, {330, 250, 1.0f}, {560, 330, 0.8f}, {760, 200, 1.05f}, {990, 290, 0.85f}};
    SnowRange(img, FAR, 81, Hex(0xB8C2E8), Hex(0x5A6294), Hex(0x3A4274));
    const Summit NEAR[] = {{0, 420, 0.7f}, {250, 400, 0.75f}, {640, 440, 0.7f}, {900, 380, 0.8f}};
    SnowRange(img, NEAR, 84, Hex(0xD0D8F4), Hex(0x4A5284), Hex(0x252A58));
    Ridge(img,
          [](float x) {
              const float tree = std::fmod(x + 1000.0f, 30.0f) / 30.0f;
              const float height = 34.0f + 26.0f * (Noise1(x / 30.0f, 85) * 0.5f + 0.5f);
              return 690.0f - height * (1.0f - std::fabs(tree - 0.5f) * 2.0f) + 14.0f * Noise1(x / 120.0f, 86);
          },
          Hex(0x101634), Hex(0x0A0E24));
    Lcg rng(507);
    for (int i = 0; i < 220; ++i) {
        const float x = rng.Uniform() * SCREEN_W, y = rng.Uniform() * SCREEN_H;
        const float r = 0.8f + 1.4f * rng.Uniform();
        FillShape(img, static_cast<int>(x - r), static_cast<int>(y - r), static_cast<int>(x + r) + 2,
                  static_cast<int>(y + r) + 2, Circle(x, y, r), Hex(0xF4F6FF, 0.2f + 0.3f * rng.Uniform()));
    }
    return img;
}

// A lighthouse on a rocky point over a moonlit sea: long clouds, the moon's path on the water,
// and the lamp's beam sweeping out over the sea.
Image LighthouseSea() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x060A26), Hex(0x2A4478));
    Stars(img, 508, 200, 440);
    const float moonX = 240, moonY = 290;
    Glow(img, moonX, moonY, 260, Hex(0x8AA8E8), 0.3f);
    FillShape(img, 180, 230, 300, 350, Circle(moonX, moonY, 40), VerticalGradient(250, Hex(0xFFFCF0), 330, Hex(0xDCE2F0)));
    // Long thin clouds, lit from below by the moon.
    Wash(img, 0, 80, SCREEN_W, 400, Hex(0x9AA8D8), [](float x, float y) {
        const float band = std::sin(y / 26.0f + 1.3f * Noise1(x / 200.0f, 91));
        const float cloud = Fractal2(x / 260.0f, y / 60.0f, 92);
        return std::max(0.0f, cloud - 0.15f) * 0.5f * std::max(0.0f, band);
    });
    const int horizon = 500;
    // The sea: darker towards the viewer, the moon's path in broken strokes.
    for (int y = horizon; y < SCREEN_H; ++y) {
        const float t = static_cast<float>(y - horizon) / static_cast<float>(SCREEN_H - horizon);
        for (int x = 0; x < SCREEN_W; ++x) img.At(x, y) = Mix(Hex(0x1E3466), Hex(0x060C24), std::sqrt(t));
    }
    Lcg rng(509);
    for (int i = 0; i < 520; ++i) {
        const float t = rng.Uniform();
        const float y = static_cast<float>(horizon) + 4.0f + t * 260.0f;
        const float spread = 30.0f + 150.0f * t;
        const float x = moonX + (rng.Uniform() * 2.0f - 1.0f) * spread;
        const float len = 6.0f + 26.0f * t * rng.Uniform();
        const float a = (0.5f + 0.5f * rng.Uniform()) * (1.0f - std::fabs(x - moonX) / (spread + 1.0f)) * (1.0f - 0.5f * t);
        FillShape(img, static_cast<int>(x - len), static_cast<int>(y) - 1, static_cast<int>(x + len) + 1, static_cast<int>(y) + 3,
                  RoundedRect(x - len, y, x + len, y + 1.5f, 0.75f), Hex(0xE8EEFF, a));
    }
    // The point and its lighthouse, right of the well.
    Ridge(img,
          [](float x) {
              // The point rises from the near water to the lighthouse's rock.
              const float rise = std::clamp((x - 690.0f) / 190.0f, 0.0f, 1.0f);
              return 800.0f - 330.0f * std::sqrt(rise) - 8.0f * Fractal(x / 40.0f, 93) * rise;
          },
          Hex(0x141A36), Hex(0x080A1C));
    const float towerX = 930, towerBase = 474, towerTop = 320;
    auto towerHalf = [=](float y) { return 14.0f + 8.0f * (y - towerTop) / (towerBase - towerTop); };
    FillShape(img, 900, 300, 962, static_cast<int>(towerBase) + 1,
              [=](float x, float y) { return y >= towerTop && y <= towerBase && std::fabs(x - towerX) <= towerHalf(y); },
              [=](float x, float y) {
                  const bool red = static_cast<int>((y - towerTop) / 30.0f) % 2 == 1;
                  const Color c = red ? Hex(0xA83A48) : Hex(0xD8DCE8);
                  return Scale(c, x < towerX ? 0.55f : 0.9f);
              });
    FillShape(img, 912, 296, 948, 322, RoundedRect(916, 298, 944, 320, 2), Hex(0xFFE6A0));
    FillShape(img, 908, 290, 952, 300, RoundedRect(910, 292, 950, 299, 3), Hex(0x181A30));
    FillShape(img, 918, 270, 942, 294, Triangle(930, 272, 916, 293, 944, 293), Hex(0x181A30));
    Glow(img, 930, 309, 90, Hex(0xFFD880), 0.45f);
    // The beam, out to the left over the sea: brightest near the lamp.
    Wash(img, 0, 150, 930, 420, Hex(0xFFF0C0), [=](float x, float y) {
        const float dx = 930.0f - x, dy = y - 309.0f + dx * 0.18f;
        const float width = 8.0f + dx * 0.16f;
        const float across = std::fabs(dy) / width;
        return across >= 1.0f ? 0.0f : (1.0f - across * across) * 0.24f * std::exp(-dx / 300.0f);
    });
    return img;
}

// A ringed planet over an alien plain: two moons, the ring's near side in front of the
// planet, and soft violet hills with glowing pools.
Image RingedPlanet() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x05071C), Hex(0x1E4E6C));
    Stars(img, 510, 260, 520);
    const float px = 790, py = 240, pr = 104;
    const float tilt = -0.32f;
    // The ring as an ellipse band around the planet's centre, seen from above its plane.
    auto ring = [=](float x, float y, bool nearSide) {
        const float c = std::cos(tilt), s = std::sin(tilt);
        const float u = (x - px) * c + (y - py) * s, v = -(x - px) * s + (y - py) * c;
        const float e = std::sqrt(u * u / (1.8f * 1.8f) + v * v / (0.42f * 0.42f)) / pr;
        const bool inBand = (e > 1.05f && e < 1.22f) || (e > 1.26f && e < 1.36f);
        return inBand && ((v > 0) == nearSide);
    };
    Glow(img, px, py, 320, Hex(0x5AC8D8), 0.18f);
    FillShape(img, 560, 100, 1024, 400, [=](float x, float y) { return ring(x, y, false); }, Hex(0xD8C8A0, 0.8f));
    FillShape(img, static_cast<int>(px - pr), static_cast<int>(py - pr), static_cast<int>(px + pr) + 1,
              static_cast<int>(py + pr) + 1, Circle(px, py, pr), [=](float x, float y) {
                  const float band = std::sin((y - py) / 13.0f + 0.6f * Noise1(x / 50.0f, 95));
                  const Color base = Mix(Hex(0xE8A070), Hex(0xB86A5A), 0.5f + 0.5f * band);
                  // Lit from the upper left.
                  const float lx = (x - px + 40.0f) / pr, ly = (y - py + 40.0f) / pr;
                  return Scale(base, std::clamp(1.15f - 0.55f * std::sqrt(lx * lx + ly * ly), 0.25f, 1.0f));
              });
    FillShape(img, 560, 100, 1024, 400, [=](float x, float y) { return ring(x, y, true); }, Hex(0xE8DCB8, 0.9f));
    FillShape(img, 120, 240, 200, 320, Circle(160, 280, 22), VerticalGradient(258, Hex(0xC8E8F0), 302, Hex(0x6A9AB0)));
    FillShape(img, 240, 160, 280, 200, Circle(258, 178, 9), Hex(0xF0D8F0));
    Ridge(img, [](float x) { return 520.0f - 60.0f * Fractal(x / 300.0f, 97) - 30.0f * Noise1(x / 90.0f, 98); }, Hex(0x3A2A6A), Hex(0x2A1E52));
    Ridge(img, [](float x) { return 600.0f - 50.0f * (0.5f + 0.5f * Noise1(x / 140.0f, 99)); }, Hex(0x281A4E), Hex(0x180E34));
    // Glowing pools on the plain.
    const float POOLS[3][3] = {{150, 680, 70}, {520, 700, 50}, {880, 660, 90}};
    for (const auto& pool : POOLS) {
        Glow(img, pool[0], pool[1], pool[2] * 1.6f, Hex(0x3AF0D0), 0.25f);
        FillShape(img, static_cast<int>(pool[0] - pool[2]), static_cast<int>(pool[1] - 12), static_cast<int>(pool[0] + pool[2]) + 1,
                  static_cast<int>(pool[1] + 12),
                  [=](float x, float y) {
                      const float u = (x - pool[0]) / pool[2], v = (y - pool[1]) / (pool[2] * 0.14f);
                      return u * u + v * v <= 1.0f;
                  },
                  Hex(0x6AF8E0, 0.7f));
    }
    Ridge(img, [](float x) { return 730.0f + 20.0f * Fractal(x / 100.0f, 100); }, Hex(0x120A26), Hex(0x0A0618));
    return img;
}

// A volcano at night: embers and smoke over the crater, lava running down its flank, a red
// glow on the ash clouds.
Image Volcano() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x0A0410), Hex(0x4A1418));
    const float craterX = 820, craterY = 360;
    Glow(img, craterX, craterY, 420, Hex(0xC83A1A), 0.4f);
    Stars(img, 511, 90, 260);
    // Smoke rising and leaning left, lit red from beneath.
    Wash(img, 380, 0, SCREEN_W, 380, Hex(0x4A2830), [=](float x, float y) {
        const float rise = (craterY - y) / craterY;
        const float centre = craterX - 260.0f * rise * rise;
        const float width = 40.0f + 190.0f * rise;
        const float across = std::fabs(x - centre) / width;
        const float puff = 0.55f + 0.45f * Fractal2(x / 90.0f, y / 90.0f, 101);
        return across >= 1.0f ? 0.0f : (1.0f - across * across) * puff * 0.9f;
    });
    Wash(img, 500, 120, SCREEN_W, 380, Hex(0xFF5A2A), [=](float x, float y) {
        const float d = std::hypot(x - craterX, (y - craterY) * 1.5f);
        return std::max(0.0f, 1.0f - d / 220.0f) * 0.35f * (0.6f + 0.4f * Fractal2(x / 60.0f, y / 60.0f, 102));
    });
    // The cone: steep near the top, flattening out; a notched crater.
    auto cone = [=](float x) {
        const float d = std::fabs(x - craterX);
        const float notch = d < 46.0f ? 14.0f * (1.0f - d / 46.0f) : 0.0f;
        return craterY + notch + 300.0f * std::pow(std::max(0.0f, d - 40.0f) / 420.0f, 1.35f) + 6.0f * Fractal(x / 30.0f, 103);
    };
    Ridge(img, [](float x) { return 500.0f + 50.0f * Fractal(x / 160.0f, 109) + 0.12f * x; }, Hex(0x3A1420), Hex(0x22080E));
    Ridge(img, [](float x) { return 560.0f + 40.0f * Fractal(x / 200.0f, 104); }, Hex(0x2A0E16), Hex(0x1A080E));
    Ridge(img, cone, Hex(0x24080E), Hex(0x12040A));
    // Lava rivulets: wandering lines down the flank, glowing at their edges.
    const float RIVERS[3][2] = {{-1.0f, 105}, {0.6f, 106}, {1.6f, 107}};
    for (const auto& river : RIVERS) {
        for (float t = 0; t < 1.0f; t += 0.0015f) {
            const float x = craterX + river[0] * 18.0f + t * (river[0] * 90.0f) + 20.0f * Noise1(t * 5.0f, static_cast<std::uint32_t>(river[1]));
            const float y = std::max(cone(x) + 6.0f, craterY + 8.0f + t * 280.0f);
            const float r = 3.2f * (1.0f - 0.6f * t);
            FillShape(img, static_cast<int>(x - r) - 1, static_cast<int>(y - r) - 1, static_cast<int>(x + r) + 2,
                      static_cast<int>(y + r) + 2, Circle(x, y, r), Mix(Hex(0xFFE070), Hex(0xFF4A10), t));
        }
    }
    Glow(img, craterX, craterY + 6, 60, Hex(0xFFC050), 0.7f);
    Lcg rng(512);
    for (int i = 0; i < 160; ++i) {
        const float x = craterX + (rng.Uniform() - 0.6f) * 360.0f * rng.Uniform();
        const float y = craterY - 20.0f - 300.0f * rng.Uniform();
        if (x < 700) continue;  // the embers keep clear of the well
        BlendPixel(img, static_cast<int>(x), static_cast<int>(y), Hex(0xFFB040), 0.4f + 0.5f * rng.Uniform());
    }
    Ridge(img, [](float x) { return 690.0f - 30.0f * Peaks(x / 120.0f, 108); }, Hex(0x0E0408), Hex(0x050104));
    return img;
}

// Deep space: nebulae in rose and blue, a field of stars with a few bright ones, a distant
// galaxy, and the lit rim of a planet below.
Image Nebula() {
    Image img(SCREEN_W, SCREEN_H, Hex(0));
    FillVertical(img, Hex(0x03030E), Hex(0x0A0620));
    Wash(img, 0, 0, SCREEN_W, SCREEN_H, Hex(0xC03A8A), [](float x, float y) {
        const float n = Fractal2(x / 300.0f, y / 240.0f, 111);
        const float lane = std::exp(-std::pow((y - 300.0f - 0.35f * (x - 512.0f)) / 220.0f, 2.0f));
        return std::max(0.0f, n + 0.2f) * lane * 0.55f;
    });
    Wash(img, 0, 0, SCREEN_W, SCREEN_H, Hex(0x3A6AE0), [](float x, float y) {
        const float n = Fractal2(x / 220.0f + 7.0f, y / 200.0f, 112);
        const float lane = std::exp(-std::pow((y - 200.0f + 0.25f * (x - 512.0f)) / 200.0f, 2.0f));
        return std::max(0.0f, n + 0.1f) * lane * 0.45f;
    });
    Wash(img, 0, 0, SCREEN_W, SCREEN_H, Hex(0x05030C), [](float x, float y) {
        return std::max(0.0f, Fractal2(x / 160.0f, y / 120.0f, 113) - 0.1f) * 0.9f;
    });
    Stars(img, 513, 420, SCREEN_H);
    Lcg rng(514);
    for (int i = 0; i < 9; ++i) {
        const float x = rng.Uniform() * SCREEN_W, y = rng.Uniform() * 560.0f;
        if (x > 330 && x < 690) continue;  // the well keeps its dark
        const Color c = i % 2 ? Hex(0xBFD8FF) : Hex(0xFFE6C8);
        Glow(img, x, y, 16, c, 0.6f);
        Wash(img, static_cast<int>(x) - 22, static_cast<int>(y) - 22, static_cast<int>(x) + 23, static_cast<int>(y) + 23, c,
             [=](float px, float py) {
                 const float dx = std::fabs(px - x), dy = std::fabs(py - y);
                 return std::max(std::max(0.0f, 1.0f - dx / 22.0f) * std::max(0.0f, 1.0f - dy / 1.2f),
                                 std::max(0.0f, 1.0f - dy / 22.0f) * std::max(0.0f, 1.0f - dx / 1.2f));
             });
    }
    // A small spiral galaxy, tilted.
    Wash(img, 780, 80, 1000, 240, Hex(0xE0D8FF), [](float x, float y) {
        const float u = (x - 890.0f), v = (y - 160.0f) / 0.45f;
        const float r = std::hypot(u, v) / 90.0f, angle = std::atan2(v, u);
        if (r > 1.0f) return 0.0f;
        const float arm = 0.5f + 0.5f * std::cos(2.0f * angle - 9.0f * r);
        return (std::exp(-r * r * 18.0f) * 0.9f + arm * (1.0f - r) * 0.35f);
    });
    // The planet's night side, its rim lit.
    const float cx = 512, cy = 1480, r = 900;
    FillShape(img, 0, 560, SCREEN_W, SCREEN_H, Circle(cx, cy, r), [=](float x, float y) {
        const float d = r - std::hypot(x - cx, y - cy);
        return Mix(Hex(0x6AB8FF), Hex(0x04060E), std::min(1.0f, d / 26.0f));
    });
    Wash(img, 0, 520, SCREEN_W, SCREEN_H, Hex(0x4A9AFF), [=](float x, float y) {
        const float d = std::hypot(x - cx, y - cy) - r;
        return d < 0 ? 0.0f : std::exp(-d / 18.0f) * 0.5f;
    });
    return img;
}

}  // namespace

Image MakeLevel(int picture) {
    switch (picture) {
        case 0: return NightPeaks();
        case 1: return SunsetDunes();
        case 2: return AuroraLake();
        case 3: return DuskMesas();
        case 4: return NeonCity();
        case 5: return SnowPeaks();
        case 6: return LighthouseSea();
        case 7: return RingedPlanet();
        case 8: return Volcano();
        default: return Nebula();
    }
}
