#pragma once

// Every resource the game finds by id (FindResource), in one place. The files lie in
// resources/<TYPE>/<ID>.<ext>.

// TEXT
constexpr int DEFAULT_HIGH_SCORES_ID = 102;
constexpr int DEFAULT_SETTINGS_ID = 105;

// ICON
constexpr int WINDOW_ICON_ID = 104;

// RCDATA: the songs
constexpr int TITLE_SONG_ID = 109;
constexpr int GAME_SONG_ID = 110;
constexpr int GAME_OVER_SONG_ID = 111;

// RCDATA: the pictures; the ten level pictures follow one another from the first
constexpr int TITLE_PICTURE_ID = 115;
constexpr int SPRITE_SHEET_ID = 116;
constexpr int PANEL_PICTURE_ID = 117;
constexpr int MENU_PICTURE_ID = 118;
constexpr int HIGH_SCORES_PICTURE_ID = 119;
constexpr int MENU_HIGHLIGHT_ID = 120;
constexpr int OPTIONS_PICTURE_ID = 121;
constexpr int INFO_PICTURE_ID = 122;
constexpr int FIRST_LEVEL_PICTURE_ID = 123;
constexpr int LEVEL_PICTURES = 10;
// Beside the document's pictures: the ghost piece's tiles, laid out like the sprite sheet's
constexpr int GHOST_TILES_ID = 136;

// WAVE: the sound effects, named "#<id>" (a file of that name in the current folder stands in
// for one)
constexpr int LINE_CLEAR_SOUND_ID = 112;
constexpr int CLICK_SOUND_ID = 113;
constexpr int HOVER_SOUND_ID = 114;
constexpr int ROTATE_SOUND_ID = 133;
constexpr int FOUR_LINES_SOUND_ID = 134;
constexpr int LEVEL_UP_SOUND_ID = 135;
