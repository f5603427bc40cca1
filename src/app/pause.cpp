#include "app/pause.h"

#include <algorithm>
#include <array>
#include <vector>

#include "app/shell.h"
#include "common/bindings.h"
#include "common/font_codes.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "gfx/panel.h"
#include "gfx/sprites.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "platform/sdl_renderer.h"
#include "screens/navigation.h"
#include "screens/setting_changes.h"

namespace {

// A band across the middle of the picture, the words centred on it.
constexpr int LINE_BAND_TOP = 352;
constexpr int LINE_BAND_HEIGHT = 64;
constexpr int LINE_Y = LINE_BAND_TOP + (LINE_BAND_HEIGHT - 32) / 2;
constexpr int GLYPH_WIDTH = 16;
constexpr int LINE_GLYPHS = BACK_BUFFER_WIDTH / GLYPH_WIDTH;

void DrawPauseLine() {
    const std::string text = PauseLineText();
    std::array<std::uint8_t, LINE_GLYPHS> codes{};
    const std::size_t length = std::min(text.size(), codes.size());
    for (std::size_t i = 0; i < length; ++i) codes[i] = FontCode(text[i]);
    const int x = (BACK_BUFFER_WIDTH - GLYPH_WIDTH * static_cast<int>(length)) / 2;
    BeginSprites();
    DrawPanel(0, LINE_BAND_TOP, BACK_BUFFER_WIDTH, LINE_BAND_HEIGHT);
    DrawText(codes.data(), static_cast<std::uint8_t>(length), x, LINE_Y);
    EndSprites();
}

}  // namespace

void TogglePause() {
    shell.Paused = Flipped(shell.Paused);
    shell.pause = Shell::PauseState{};
}

void PauseAutomatically() {
    if (shell.Paused != 0) return;
    shell.Paused = 1;
    shell.pause = Shell::PauseState{};
    shell.pause.automatic = true;
}

void ShowPausedPicture() {
    if (!shell.pause.pictureKept) {
        KeepShownPicture();
        shell.pause.pictureKept = true;
    }
    // A game paused with P whose window stayed as it was draws and presents nothing, as ever; a
    // watched replay says that it is paused.
    const bool line = shell.pause.automatic || screenId == Watch;
    if (ShownPictureIntact() && shell.pause.lineShown == line) return;
    DrawKeptPicture();
    if (line) DrawPauseLine();
    PresentFrame();
    shell.pause.lineShown = line;
}

std::string PauseLineText() {
    if (screenId == Watch) return "REPLAY PAUSED - PRESS P TO GO ON";
    // P pauses and resumes a game whatever the bindings say; the bound keys and button too.
    std::vector<std::string> ways = {"P"};
    for (const int key : bindings.actions[PAUSE_ACTION].keys) {
        if (key == NO_KEY_POSITION) continue;
        const std::string shown = SpeltForScreen(KeyPositionLabel(key));
        if (std::find(ways.begin(), ways.end(), shown) == ways.end()) ways.push_back(shown);
    }
    const std::uint8_t pad = bindings.actions[PAUSE_ACTION].pad;
    if (pad < PAD_INPUT_COUNT) ways.emplace_back(PadInputLabel(static_cast<PadInput>(pad)));
    std::string text = "PAUSED - PRESS " + ways.front();
    for (std::size_t i = 1; i < ways.size(); ++i) text += " OR " + ways[i];
    text += " TO PLAY ON";
    return text.size() <= static_cast<std::size_t>(LINE_GLYPHS) ? text
                                                                : "PAUSED - PRESS P TO PLAY ON";
}
