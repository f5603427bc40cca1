#pragma once

#include <cstdint>

#include "gfx/textures.h"

// The background slots: every screen draws its background through them and starts a
// cross-fade by naming NextBackground (and perhaps CurrentBackground) and raising FadeActive.
extern Texture* CurrentBackground;
extern Texture* NextBackground;
extern std::uint8_t FadeActive;
extern std::uint8_t FadeAlpha;
extern std::int64_t LastFadeStep;

// Draws the current picture and, while a fade runs, the next one over it at FadeAlpha,
// stepping the fade once at most every `interval` ms.
void DrawBackground(std::uint32_t interval);
void StepFade(std::uint32_t interval);

// Puts the slots back to their start-up state: no pictures, no fade.
void ResetBackgroundSlots();
