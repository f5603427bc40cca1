#pragma once

#include <array>

#include "gfx/sprites.h"

// The main menu's items, in the order they are tested each frame. Each rectangle is the item's
// highlight and its hit area (the pointer must be strictly past its left and top), and the menu
// picture shows the item's word inside it.
enum MenuItemIndex : int { EXIT_ITEM, HELP_ITEM, START_ITEM, OPTIONS_ITEM, HIGH_SCORES_ITEM };
constexpr int MENU_ITEM_COUNT = 5;

constexpr std::array<SpriteRect, MENU_ITEM_COUNT> MENU_ITEM_RECTS = {{
    {814, 32, 992, 108},   // exit
    {780, 152, 988, 228},  // help
    {278, 273, 678, 395},  // start
    {32, 534, 366, 612},   // options
    {32, 662, 608, 740},   // high scores
}};
