#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

struct SDL_Window;
struct Texture;

// A hidden 1024 x 768 window with the renderer open on it (offscreen video, software
// renderer), the background slots at their start-up state and the manual clock.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    SDL_Window* window = nullptr;
};

// PNG bytes of a w x h picture whose pixel (x, y) is pixel(x, y) as 0xAARRGGBB.
std::vector<std::uint8_t> MakePng(int w, int h,
                                  const std::function<std::uint32_t(int, int)>& pixel);
// A texture of one colour, w x h.
Texture* SolidTexture(std::uint32_t argb, int w = 1024, int h = 768);

// Channels of 0xAARRGGBB.
inline int Red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
