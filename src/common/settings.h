#pragma once

#include <cstdint>

// The eleven live settings, one byte each; the options screen, the hotkeys and the game read
// and change them here.
struct Settings {
    std::uint8_t fullscreen = 0;
    std::uint8_t musicOn = 1;
    std::uint8_t soundOn = 1;
    std::uint8_t musicVolume = 25;
    std::uint8_t soundVolume = 25;
    std::uint8_t moveRepeat = 6;
    std::uint8_t rotateRepeat = 6;
    std::uint8_t dropRepeat = 6;
    std::uint8_t startLevel = 1;
    std::uint8_t garbageRows = 0;
    std::uint8_t rotateReversed = 0;
};
extern Settings settings;
