#pragma once

#include <cstdint>
#include <optional>

#include "gfx/textures.h"

// The background slots: every screen draws its background through them and starts a
// cross-fade by naming NextBackground (and perhaps CurrentBackground) and raising FadeActive.
struct FadeState {
    Texture* CurrentBackground = nullptr;
    Texture* NextBackground = nullptr;
    std::uint8_t FadeActive = 0;
    std::uint8_t FadeAlpha = 0;
    std::int64_t LastFadeStep = 0;
};
extern FadeState fade;

// A change of the slots: a picture named here goes into its slot (null included), an unnamed
// one stays; `fade` starts the cross-fade from the shown picture to the next one.
struct BackgroundChange {
    std::optional<Texture*> shown = std::nullopt;
    std::optional<Texture*> next = std::nullopt;
    bool fade = false;
};
void ChangeBackgrounds(const BackgroundChange& change);

// Draws the current picture and, while a fade runs, the next one over it at FadeAlpha,
// stepping the fade once at most every `interval` ms.
void DrawBackground(std::uint32_t interval);
void StepFade(std::uint32_t interval);

// A fade still running stops where it is: the shown picture stays, alone.
void StopFade();

// Puts the slots back to their start-up state: no pictures, no fade.
void ResetBackgroundSlots();
