#include "gfx/fade.h"

#include "platform/clock.h"
#include "platform/render.h"

Texture* CurrentBackground = nullptr;
Texture* NextBackground = nullptr;
std::uint8_t FadeActive = 0;
std::uint8_t FadeAlpha = 0;
std::int64_t LastFadeStep = 0;

namespace {
constexpr std::uint8_t FADE_STEP = 4;
constexpr std::uint8_t FADE_END = 252;
constexpr std::uint8_t OPAQUE = 255;
}  // namespace

void DrawBackground(std::uint32_t interval) {
    DrawTextureFullScreen(CurrentBackground, OPAQUE);
    if (!FadeActive) return;
    StepFade(interval);
    DrawTextureFullScreen(NextBackground, FadeAlpha);
    if (FadeAlpha == FADE_END) {
        Texture* previous = CurrentBackground;
        CurrentBackground = NextBackground;
        NextBackground = previous;
        FadeActive = 0;
        FadeAlpha = 0;
    }
}

void StepFade(std::uint32_t interval) {
    // At most one step per call: after a long pause the fade goes on, it does not jump.
    if (NowMs() - LastFadeStep >= static_cast<std::int64_t>(interval)) {
        LastFadeStep = NowMs();
        FadeAlpha = static_cast<std::uint8_t>(FadeAlpha + FADE_STEP);
    }
}

void ResetBackgroundSlots() {
    CurrentBackground = nullptr;
    NextBackground = nullptr;
    FadeActive = 0;
    FadeAlpha = 0;
    LastFadeStep = 0;
}
