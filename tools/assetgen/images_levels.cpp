#include <algorithm>
#include <cmath>

#include "images.h"

// The play screen's backgrounds: three calm landscapes in the game's night palette. The
// well (x 352..671) and the panels sit over them darkened, so they carry broad shapes and
// soft gradients rather than fine detail.

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

}  // namespace

Image MakeLevel(int picture) {
    switch (picture) {
        case 0: return NightPeaks();
        case 1: return SunsetDunes();
        default: return AuroraLake();
    }
}
