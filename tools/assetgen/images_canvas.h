#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Pictures are painted in floating point, straight (not premultiplied) alpha, sRGB values
// 0..1, and rounded to bytes only when saved.
struct Color {
    float r = 0, g = 0, b = 0, a = 1;
};

Color Hex(std::uint32_t rgb, float alpha = 1.0f);
Color Mix(Color from, Color to, float t);
Color Scale(Color c, float factor);  // darker below 1, lighter above (alpha kept)
Color WithAlpha(Color c, float alpha);

struct Image {
    int w = 0, h = 0;
    std::vector<Color> px;
    Image(int width, int height, Color fill);
    Color& At(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
    const Color& At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

// A coverage map (0..1) with its own placement: pixel (0, 0) of the mask lands on (ox, oy).
struct Mask {
    int w = 0, h = 0;
    int ox = 0, oy = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int width, int height);
    float& At(int x, int y) { return v[static_cast<std::size_t>(y) * w + x]; }
    float At(int x, int y) const { return v[static_cast<std::size_t>(y) * w + x]; }
    float Get(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : At(x, y); }
};

// Paints `c` over the pixel with the given coverage ("over" compositing, alpha-correct).
void BlendPixel(Image& img, int x, int y, Color c, float coverage);

// Fills the pixels of [x0, x1) x [y0, y1) where `inside` holds, 4 x 4 samples a pixel for
// smooth edges; `paint` gives the colour at a pixel centre.
using Inside = std::function<bool(float x, float y)>;
using Paint = std::function<Color(float x, float y)>;
void FillShape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside,
               const Paint& paint);
void FillShape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside, Color c);

// Shape tests in pixel coordinates (pixel x covers x .. x + 1).
Inside RoundedRect(float x0, float y0, float x1, float y1, float radius);
Inside Circle(float cx, float cy, float radius);
Inside Triangle(float ax, float ay, float bx, float by, float cx, float cy);

// Linear vertical gradient between two rows.
Paint VerticalGradient(float y0, Color top, float y1, Color bottom);
void FillVertical(Image& img, Color top, Color bottom);
// Adds a soft round glow (additive towards `c`) centred at (cx, cy).
void Glow(Image& img, float cx, float cy, float radius, Color c, float strength);

// Draws a mask at its placement, plus (dx, dy), in one colour or a vertical gradient over
// the mask's ink rows.
void DrawMask(Image& img, const Mask& m, int dx, int dy, Color c);
void DrawMask(Image& img, const Mask& m, int dx, int dy, const Paint& paint);

// Mask operations for text effects.
Mask Dilate(const Mask& m, float radius);  // grown by `radius` pixels, keeps placement
Mask Blur(const Mask& m, int radius);      // three box passes, grown by 3 x radius
Mask Pad(const Mask& m, int border);

// Deterministic pseudo-random numbers, so every run paints the same picture.
struct Lcg {
    std::uint32_t state;
    explicit Lcg(std::uint32_t seed) : state(seed) {}
    std::uint32_t Next();
    float Uniform();  // 0 <= u < 1
};
// Smooth 1-D value noise in -1..1 with period `cells` lattice points, for ridges and waves.
float Noise1(float x, std::uint32_t seed);

// Saves as PNG, keeping alpha, or with every fully transparent pixel turned into opaque
// magenta, the key colour the game makes transparent again; or as JPEG.
bool SavePng(const Image& img, const std::string& path);
bool SavePngKeyed(const Image& img, const std::string& path);
bool SaveJpeg(const Image& img, const std::string& path, int quality);
