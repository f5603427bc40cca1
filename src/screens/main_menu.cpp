#include <array>

#include "gfx/fade.h"
#include "music/player.h"
#include "platform/resource_ids.h"
#include "screens/front_end.h"
#include "screens/high_scores.h"
#include "screens/menu_controls.h"
#include "screens/menu_input.h"
#include "screens/menu_items.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"

namespace {

// Help, options and high scores fade in from black and keep the menu music.
void OpenFromMenu(Texture* background, ScreenId screen) {
    fromMenu = 1;
    ChangeScreen(screen, {.shown = textures.BlackScreen, .next = background, .fade = true});
}

void OpenInfo() { OpenFromMenu(textures.InfoBackground, Info); }
void OpenOptions() { OpenFromMenu(textures.OptionsBackground, Options); }
void OpenHighScores() { OpenFromMenu(textures.HighScoresBackground, HighScores); }

// No fade: the game shows its first background at once.
void StartGame() {
    BeginNewGame();
    ChangeScreen(Play, FirstLevelPictures());
    PlayModule(MusicResource(GAME_SONG_ID), 0, 0);
}

// The lit version of the item, drawn over it from the same place of the highlight picture.
void LightItem(const SpriteRect& rect) {
    DrawSprite(textures.MenuHighlight, &rect, static_cast<float>(rect.left),
               static_cast<float>(rect.top), TINT_PANEL);
}

// What each item of MENU_ITEM_RECTS does.
constexpr std::array<void (*)(), MENU_ITEM_COUNT> MENU_ACTIONS = [] {
    std::array<void (*)(), MENU_ITEM_COUNT> actions{};
    actions[EXIT_ITEM] = RequestQuit;
    actions[HELP_ITEM] = OpenInfo;
    actions[START_ITEM] = StartGame;
    actions[OPTIONS_ITEM] = OpenOptions;
    actions[HIGH_SCORES_ITEM] = OpenHighScores;
    return actions;
}();

// The keyboard's and the controllers' way through the items, from the one in the middle.
constexpr int FOCUS_ORDER[MENU_ITEM_COUNT] = {START_ITEM, OPTIONS_ITEM, HIGH_SCORES_ITEM, HELP_ITEM,
                                              EXIT_ITEM};

// Moving the pointer or pressing its button hands the menu back to the mouse.
bool PointerTakesOver() {
    const ::PointerPos& now = frontEnd.PointerPos;
    const ::PointerPos& then = frontEnd.menuFocusPointer;
    return now.x != then.x || now.y != then.y || KeyDown(VK_LBUTTON);
}

void HandleFocusedItem() {
    const int item = FOCUS_ORDER[frontEnd.menuFocus];
    LightItem(MENU_ITEM_RECTS[item]);
    if (!MenuKeyPressed(MenuKey::Confirm)) return;
    // Exactly as a click on the item.
    frontEnd.menuFocus = NO_FOCUS;
    ClickControl(MENU_ACTIONS[item]);
    frontEnd.pressLatch = 1;
}

}  // namespace

void MainMenuFrame() {
    DrawBackground(0);
    BeginSprites();
    ReadMenuKeys();
    // Nothing lights up and nothing can be chosen while a fade runs.
    if (!fade.FadeActive) {
        ReadPointer();
        if (frontEnd.menuFocus != NO_FOCUS && PointerTakesOver()) frontEnd.menuFocus = NO_FOCUS;
        if (StepFocus(frontEnd.menuFocus, MENU_ITEM_COUNT, true)) {
            frontEnd.menuFocusPointer = frontEnd.PointerPos;
        }
        if (frontEnd.menuFocus != NO_FOCUS) {
            HandleFocusedItem();
        } else {
            // After an action the other items still light up; the latch stops a second action.
            for (int i = 0; i < MENU_ITEM_COUNT; ++i) {
                HandleControl(MENU_ITEM_RECTS[i], frontEnd.menuHoverArmed[i], LightItem,
                              PressMode::OneShot, MENU_ACTIONS[i]);
            }
        }
    }
    EndSprites();
}
