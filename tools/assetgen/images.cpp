#include "images.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "assetgen.h"
#include "images_text.h"
#include "platform/resource_ids.h"

namespace {

constexpr int JPEG_QUALITY = 88;
constexpr int WINDOW_ICON_SIZE = 64;
// The sizes a desktop's hicolor icon theme looks for.
constexpr int DESKTOP_ICON_SIZES[] = {16, 24, 32, 48, 64, 128, 256};
// The sizes a browser wants of an installable page's icon (its home-screen icon and its
// splash screen).
constexpr int WEB_ICON_SIZES[] = {192, 512};

bool Report(bool ok, const std::string& path) {
    if (!ok) std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), SDL_GetError());
    return ok;
}

}  // namespace

bool GenerateImages(const std::string& dir) {
    if (!OpenFonts()) return false;
    std::error_code ec;
    std::filesystem::create_directories(dir + "/RCDATA", ec);
    std::filesystem::create_directories(dir + "/ICON", ec);
    const std::string rc = dir + "/RCDATA/";
    auto jpeg = [&](const Image& img, int id) {
        const std::string path = rc + std::to_string(id) + ".jpg";
        return Report(SaveJpeg(img, path, JPEG_QUALITY), path);
    };
    auto keyed = [&](const Image& img, int id) {
        const std::string path = rc + std::to_string(id) + ".png";
        return Report(SavePngKeyed(img, path), path);
    };

    bool ok = jpeg(MakeTitle(), TITLE_PICTURE_ID);
    ok = keyed(MakeSpriteSheet(), SPRITE_SHEET_ID) && ok;
    ok = keyed(MakePanel(), PANEL_PICTURE_ID) && ok;
    ok = jpeg(MakeMenu(), MENU_PICTURE_ID) && ok;
    ok = jpeg(MakeHighScores(), HIGH_SCORES_PICTURE_ID) && ok;
    ok = keyed(MakeMenuHighlight(), MENU_HIGHLIGHT_ID) && ok;
    ok = jpeg(MakeOptions(), OPTIONS_PICTURE_ID) && ok;
    ok = jpeg(MakeInfo(), INFO_PICTURE_ID) && ok;
    for (int i = 0; i < LEVEL_PICTURES; ++i) ok = jpeg(MakeLevel(i), FIRST_LEVEL_PICTURE_ID + i) && ok;
    const std::string ghost = rc + std::to_string(GHOST_TILES_ID) + ".png";
    ok = Report(SavePng(MakeGhostTiles(), ghost), ghost) && ok;
    const std::string icon = dir + "/ICON/" + std::to_string(WINDOW_ICON_ID) + ".png";
    ok = Report(SavePng(MakeIcon(WINDOW_ICON_SIZE), icon), icon) && ok;
    CloseFonts();
    return ok;
}

bool GenerateDesktopIcons(const std::string& dir) {
    bool ok = true;
    for (const int size : DESKTOP_ICON_SIZES) {
        const std::string px = std::to_string(size);
        const std::string folder = dir + "/icons/hicolor/" + px + "x" + px + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const std::string path = folder + "/" + PLEMBY_APP_ID + ".png";
        ok = Report(SavePng(MakeIcon(size), path), path) && ok;
    }
    return ok;
}

bool GenerateWebIcons(const std::string& dir) {
    bool ok = true;
    const std::string folder = dir + "/web";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const int size : WEB_ICON_SIZES) {
        const std::string path = folder + "/icon-" + std::to_string(size) + ".png";
        ok = Report(SavePng(MakeIcon(size), path), path) && ok;
    }
    return ok;
}
