#include "images_canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

namespace {

float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

// Sample offsets of the 4 x 4 grid inside a pixel.
constexpr float SAMPLE[4] = {0.125f, 0.375f, 0.625f, 0.875f};

}  // namespace

Color Hex(std::uint32_t rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
            alpha};
}

Color Mix(Color from, Color to, float t) {
    t = Clamp01(t);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Color Scale(Color c, float factor) {
    if (factor <= 1.0f) return {c.r * factor, c.g * factor, c.b * factor, c.a};
    const float t = factor - 1.0f;  // lighter: towards white
    return {c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a};
}

Color WithAlpha(Color c, float alpha) {
    c.a = alpha;
    return c;
}

Image::Image(int width, int height, Color fill)
    : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}

Mask::Mask(int width, int height) : w(width), h(height), v(static_cast<std::size_t>(width) * height) {}

void BlendPixel(Image& img, int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= img.w || y >= img.h) return;
    const float a = Clamp01(c.a * coverage);
    if (a <= 0.0f) return;
    Color& d = img.At(x, y);
    const float outA = a + d.a * (1.0f - a);
    const float keep = d.a * (1.0f - a);
    d.r = (c.r * a + d.r * keep) / outA;
    d.g = (c.g * a + d.g * keep) / outA;
    d.b = (c.b * a + d.b * keep) / outA;
    d.a = outA;
}

void FillShape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside,
               const Paint& paint) {
    x0 = std::max(0, x0);
    y0 = std::max(0, y0);
    x1 = std::min(img.w, x1);
    y1 = std::min(img.h, y1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (float sy : SAMPLE) {
                for (float sx : SAMPLE) hits += inside(static_cast<float>(x) + sx, static_cast<float>(y) + sy);
            }
            if (hits == 0) continue;
            const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            BlendPixel(img, x, y, paint(fx, fy), static_cast<float>(hits) / 16.0f);
        }
    }
}

void FillShape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside, Color c) {
    FillShape(img, x0, y0, x1, y1, inside, [c](float, float) { return c; });
}

Inside RoundedRect(float x0, float y0, float x1, float y1, float radius) {
    return [=](float x, float y) {
        if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
        const float cx = std::clamp(x, x0 + radius, x1 - radius);
        const float cy = std::clamp(y, y0 + radius, y1 - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Inside Circle(float cx, float cy, float radius) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

Inside Triangle(float ax, float ay, float bx, float by, float cx, float cy) {
    return [=](float x, float y) {
        const float d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by);
        const float d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy);
        const float d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay);
        const bool neg = d1 < 0 || d2 < 0 || d3 < 0;
        const bool pos = d1 > 0 || d2 > 0 || d3 > 0;
        return !(neg && pos);
    };
}

Paint VerticalGradient(float y0, Color top, float y1, Color bottom) {
    return [=](float, float y) { return Mix(top, bottom, (y - y0) / (y1 - y0)); };
}

void FillVertical(Image& img, Color top, Color bottom) {
    for (int y = 0; y < img.h; ++y) {
        const Color c = Mix(top, bottom, static_cast<float>(y) / static_cast<float>(img.h - 1));
        for (int x = 0; x < img.w; ++x) img.At(x, y) = c;
    }
}

void Glow(Image& img, float cx, float cy, float radius, Color c, float strength) {
    const int x0 = std::max(0, static_cast<int>(cx - radius)), x1 = std::min(img.w, static_cast<int>(cx + radius) + 1);
    const int y0 = std::max(0, static_cast<int>(cy - radius)), y1 = std::min(img.h, static_cast<int>(cy + radius) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - cx) / radius;
            const float dy = (static_cast<float>(y) + 0.5f - cy) / radius;
            const float d2 = dx * dx + dy * dy;
            if (d2 >= 1.0f) continue;
            const float t = (1.0f - d2) * (1.0f - d2) * strength;
            Color& d = img.At(x, y);
            const float a = d.a;
            d = Mix(d, c, t);
            d.a = a;
        }
    }
}

void DrawMask(Image& img, const Mask& m, int dx, int dy, const Paint& paint) {
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) {
            const float cov = m.At(x, y);
            if (cov <= 0.0f) continue;
            const int px = m.ox + dx + x, py = m.oy + dy + y;
            BlendPixel(img, px, py, paint(static_cast<float>(px) + 0.5f, static_cast<float>(py) + 0.5f), cov);
        }
    }
}

void DrawMask(Image& img, const Mask& m, int dx, int dy, Color c) {
    DrawMask(img, m, dx, dy, [c](float, float) { return c; });
}

Mask Pad(const Mask& m, int border) {
    Mask out(m.w + 2 * border, m.h + 2 * border);
    out.ox = m.ox - border;
    out.oy = m.oy - border;
    for (int y = 0; y < m.h; ++y) {
        for (int x = 0; x < m.w; ++x) out.At(x + border, y + border) = m.At(x, y);
    }
    return out;
}

Mask Dilate(const Mask& m, float radius) {
    const int r = static_cast<int>(std::ceil(radius)) + 1;
    const Mask src = Pad(m, r);
    Mask out(src.w, src.h);
    out.ox = src.ox;
    out.oy = src.oy;
    for (int y = 0; y < src.h; ++y) {
        for (int x = 0; x < src.w; ++x) {
            float best = 0.0f;
            for (int j = -r; j <= r; ++j) {
                for (int i = -r; i <= r; ++i) {
                    const float s = src.Get(x + i, y + j);
                    if (s <= best) continue;
                    const float reach = Clamp01(radius + 0.5f - std::sqrt(static_cast<float>(i * i + j * j)));
                    best = std::max(best, s * reach);
                }
            }
            out.At(x, y) = best;
        }
    }
    return out;
}

Mask Blur(const Mask& m, int radius) {
    Mask cur = Pad(m, 3 * radius);
    Mask tmp(cur.w, cur.h);
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < cur.h; ++y) {
            for (int x = 0; x < cur.w; ++x) {
                float s = 0;
                for (int i = -radius; i <= radius; ++i) s += cur.Get(x + i, y);
                tmp.At(x, y) = s * norm;
            }
        }
        for (int y = 0; y < cur.h; ++y) {
            for (int x = 0; x < cur.w; ++x) {
                float s = 0;
                for (int j = -radius; j <= radius; ++j) s += tmp.Get(x, y + j);
                cur.At(x, y) = s * norm;
            }
        }
    }
    return cur;
}

std::uint32_t Lcg::Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

float Lcg::Uniform() { return static_cast<float>(Next() & 0xFFFFFF) / 16777216.0f; }

float Noise1(float x, std::uint32_t seed) {
    auto lattice = [seed](int i) {
        std::uint32_t h = static_cast<std::uint32_t>(i) * 374761393u + seed * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        h ^= h >> 16;
        return static_cast<float>(h & 0xFFFF) / 32767.5f - 1.0f;
    };
    const float fl = std::floor(x);
    const int i = static_cast<int>(fl);
    const float t = x - fl;
    const float s = t * t * (3.0f - 2.0f * t);
    return lattice(i) + (lattice(i + 1) - lattice(i)) * s;
}

namespace {

enum class Alpha { Opaque, Kept, Keyed };

SDL_Surface* ToSurface(const Image& img, Alpha mode) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, img.w, img.h, 32, SDL_PIXELFORMAT_RGBA32);
    if (!s) return nullptr;
    for (int y = 0; y < img.h; ++y) {
        auto* row = static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch;
        for (int x = 0; x < img.w; ++x) {
            const Color& c = img.At(x, y);
            std::uint8_t* p = row + 4 * x;
            const std::uint8_t a = mode == Alpha::Opaque ? 255 : ToByte(c.a);
            if (mode == Alpha::Keyed && a == 0) {
                p[0] = 255, p[1] = 0, p[2] = 255, p[3] = 255;
                continue;
            }
            p[0] = ToByte(c.r), p[1] = ToByte(c.g), p[2] = ToByte(c.b), p[3] = a;
        }
    }
    return s;
}

bool WritePng(const Image& img, const std::string& path, Alpha mode) {
    SDL_Surface* s = ToSurface(img, mode);
    if (!s) return false;
    const bool ok = IMG_SavePNG(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

}  // namespace

bool SavePng(const Image& img, const std::string& path) { return WritePng(img, path, Alpha::Kept); }

bool SavePngKeyed(const Image& img, const std::string& path) {
    return WritePng(img, path, Alpha::Keyed);
}

bool SaveJpeg(const Image& img, const std::string& path, int quality) {
    SDL_Surface* s = ToSurface(img, Alpha::Opaque);
    if (!s) return false;
    const bool ok = IMG_SaveJPG(s, path.c_str(), quality) == 0;
    SDL_FreeSurface(s);
    return ok;
}
