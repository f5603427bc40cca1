#include "gfx/fade.h"

#include "platform/clock.h"
#include "platform/sdl_renderer.h"

FadeState fade;

namespace {
constexpr std::uint8_t FADE_STEP = 4;
constexpr std::uint8_t FADE_END = 252;
constexpr std::uint8_t OPAQUE = 255;
}  // namespace

void DrawBackground(std::uint32_t interval) {
    DrawTextureFullScreen(fade.CurrentBackground, OPAQUE);
    if (!fade.FadeActive) return;
    StepFade(interval);
    DrawTextureFullScreen(fade.NextBackground, fade.FadeAlpha);
    if (fade.FadeAlpha == FADE_END) {
        Texture* previous = fade.CurrentBackground;
        fade.CurrentBackground = fade.NextBackground;
        fade.NextBackground = previous;
        fade.FadeActive = 0;
        fade.FadeAlpha = 0;
    }
}

void ChangeBackgrounds(const BackgroundChange& change) {
    if (change.shown) fade.CurrentBackground = *change.shown;
    if (change.next) fade.NextBackground = *change.next;
    if (change.fade) fade.FadeActive = 1;
}

void StepFade(std::uint32_t interval) {
    // At most one step per call: after a long pause the fade goes on, it does not jump.
    if (NowMs() - fade.LastFadeStep >= static_cast<std::int64_t>(interval)) {
        fade.LastFadeStep = NowMs();
        fade.FadeAlpha = static_cast<std::uint8_t>(fade.FadeAlpha + FADE_STEP);
    }
}

void StopFade() {
    fade.FadeActive = 0;
    fade.FadeAlpha = 0;
}

void ResetBackgroundSlots() { fade = FadeState{}; }
