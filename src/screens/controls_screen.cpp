#include <algorithm>
#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <utility>

#include "common/controls.h"
#include "common/font_codes.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "screens/front_end.h"
#include "screens/front_end_testing.h"
#include "screens/menu_controls.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "sound/sound.h"

namespace {

// The screen's own picture under its panel: one of the game's, so the controls are set over the
// look of play.
constexpr int CONTROLS_PICTURE = 4;
constexpr int MARKER_X = 32;
constexpr int CAPTION_X = 72;
constexpr int HEADER_Y = 96;
constexpr int FIRST_ACTION_Y = 144;
constexpr int ROW_STEP = 40;
constexpr int GHOST_Y = 488;
constexpr int FOCUS_PAUSE_Y = 528;
constexpr int MESSAGE_X = 72;
constexpr int MESSAGE_Y = 608;
constexpr int BUTTONS_Y = 704;
constexpr int GLYPH_WIDTH = 16;
constexpr int GLYPH_HEIGHT = 32;
constexpr int MESSAGE_GLYPHS = 56;
constexpr int SWITCH_GLYPHS = 3;
// The three columns of an action's row: its two keys and its controller button.
constexpr std::array<int, SLOTS_PER_ACTION> SLOT_X = {320, 560, 800};
constexpr std::array<int, SLOTS_PER_ACTION> SLOT_GLYPHS = {14, 14, 11};
constexpr int SLOT_MARGIN = 4;

constexpr std::string_view ACTION_CAPTIONS[CONTROL_ACTION_COUNT] = {
    "TURN",      "TURN OTHER WAY", "SHIFT LEFT", "SHIFT RIGHT",
    "SOFT DROP", "HARD DROP",      "ABANDON",    "PAUSE",
};

// The controls in the order they are handled: the 24 slots row by row, the two switches, then
// GO BACK and DEFAULT, which wait for the fade in to end.
constexpr int GHOST_CONTROL = CONTROL_SLOT_COUNT;
constexpr int FOCUS_PAUSE_CONTROL = GHOST_CONTROL + 1;
constexpr int RETURN_CONTROL = FOCUS_PAUSE_CONTROL + 1;
constexpr int DEFAULTS_CONTROL = RETURN_CONTROL + 1;
constexpr int CONTROL_COUNT = DEFAULTS_CONTROL + 1;
constexpr int NOT_WAITING = -1;

// The rows the keyboard and the controllers walk through: the eight actions (Left and Right pick
// the column), the two switches, GO BACK and DEFAULT.
constexpr int SWITCH_FOCUS_ROW = CONTROL_ACTION_COUNT;
constexpr int RETURN_FOCUS_ROW = SWITCH_FOCUS_ROW + 2;
constexpr int DEFAULTS_FOCUS_ROW = RETURN_FOCUS_ROW + 1;
constexpr int FOCUS_ROW_COUNT = DEFAULTS_FOCUS_ROW + 1;

struct ControlsScreenState {
    std::array<std::uint8_t, CONTROL_COUNT> hoverArmed = AllArmed<CONTROL_COUNT>();
    int focus = NO_FOCUS;
    int focusColumn = 0;
    // The slot (action * 3 + column) waiting for a key or a button, with what was held when the
    // wait began: only a press that comes after it counts.
    int waitingSlot = NOT_WAITING;
    std::bitset<KEY_POSITION_COUNT> keysHeld;
    std::array<bool, PAD_INPUT_COUNT> padsHeld{};
    int unplugsSeen = 0;
    // The keys of this frame went to a wait: the hotkeys leave them alone.
    bool tookKeys = false;
    // Escape or B ended a wait and must be let go before it leaves the screen.
    bool backHeldOver = false;
    std::string message;
};
ControlsScreenState screen;

SpriteRect TextRect(int x, int y, int glyphs) {
    return {x - SLOT_MARGIN, y, x + GLYPH_WIDTH * glyphs + SLOT_MARGIN, y + GLYPH_HEIGHT};
}

int ActionY(int action) { return FIRST_ACTION_Y + ROW_STEP * action; }

SpriteRect ControlRect(int control) {
    if (control < CONTROL_SLOT_COUNT) {
        const int column = control % SLOTS_PER_ACTION;
        return TextRect(SLOT_X[column], ActionY(control / SLOTS_PER_ACTION), SLOT_GLYPHS[column]);
    }
    switch (control) {
        case GHOST_CONTROL:
            return TextRect(SLOT_X[BUTTON_SLOT], GHOST_Y, SWITCH_GLYPHS);
        case FOCUS_PAUSE_CONTROL:
            return TextRect(SLOT_X[BUTTON_SLOT], FOCUS_PAUSE_Y, SWITCH_GLYPHS);
        case RETURN_CONTROL:
            return {544, BUTTONS_Y, 662, BUTTONS_Y + GLYPH_HEIGHT};
        default:
            return {846, BUTTONS_Y, 964, BUTTONS_Y + GLYPH_HEIGHT};
    }
}

// The font has letters, digits and / - + only; the other signs of key names are spelt out.
std::string Spelt(std::string_view text) {
    static constexpr std::pair<char, std::string_view> SIGNS[] = {
        {'[', "LEFT BRACKET"}, {']', "RIGHT BRACKET"}, {';', "SEMICOLON"},  {'\'', "QUOTE"},
        {'`', "BACKQUOTE"},    {',', "COMMA"},         {'.', "PERIOD"},     {'=', "EQUALS"},
        {'\\', "BACKSLASH"},   {'#', "HASH"},          {'*', "STAR"},       {'%', "PERCENT"},
        {'&', "AND"},          {'|', "BAR"},           {'!', "BANG"},       {'@', "AT"},
        {'^', "CARET"},        {'<', "LESS"},          {'>', "GREATER"},    {':', "COLON"},
        {'(', "LEFT PAREN"},   {')', "RIGHT PAREN"},   {'{', "LEFT BRACE"}, {'}', "RIGHT BRACE"},
    };
    std::string spelt;
    for (const char c : text) {
        const auto sign = std::find_if(std::begin(SIGNS), std::end(SIGNS),
                                       [c](const auto& s) { return s.first == c; });
        if (sign != std::end(SIGNS)) {
            spelt += sign->second;
        } else {
            spelt += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return spelt;
}

// Words in the game's font, cut to `glyphs` cells.
void DrawWords(std::string_view text, int x, int y, int glyphs) {
    std::array<std::uint8_t, MESSAGE_GLYPHS> codes{};
    const std::size_t length =
        std::min({text.size(), codes.size(), static_cast<std::size_t>(glyphs)});
    for (std::size_t i = 0; i < length; ++i) codes[i] = FontCode(text[i]);
    DrawText(codes.data(), static_cast<std::uint8_t>(length), x, y);
}

std::string KeyText(int position) { return Spelt(KeyPositionLabel(position)); }

std::string SlotText(int action, int column) {
    const int value = SlotValue(controls, action, column);
    if (column == BUTTON_SLOT) {
        return value < PAD_INPUT_COUNT ? std::string(PadInputLabel(static_cast<PadInput>(value)))
                                       : "-";
    }
    return value == NO_KEY_POSITION ? "-" : KeyText(value);
}

void DrawScreen() {
    DrawPanel(24, 24, 976, 720, TINT_OPTIONS_PANEL);
    DrawWords("CONTROLS", 448, 32, 8);
    DrawWords("KEY", SLOT_X[0], HEADER_Y, 3);
    DrawWords("OTHER KEY", SLOT_X[1], HEADER_Y, 9);
    DrawWords("BUTTON", SLOT_X[BUTTON_SLOT], HEADER_Y, 6);
    for (int action = 0; action < CONTROL_ACTION_COUNT; ++action) {
        const int y = ActionY(action);
        DrawWords(ACTION_CAPTIONS[action], CAPTION_X, y, 14);
        for (int column = 0; column < SLOTS_PER_ACTION; ++column) {
            const bool waiting = screen.waitingSlot == action * SLOTS_PER_ACTION + column;
            const std::string text = waiting ? (column == BUTTON_SLOT ? "PRESS" : "PRESS A KEY")
                                             : SlotText(action, column);
            DrawWords(text, SLOT_X[column], y, SLOT_GLYPHS[column]);
        }
    }
    DrawWords("GHOST PIECE", CAPTION_X, GHOST_Y, 11);
    DrawWords(controls.ghostPiece ? "ON" : "OFF", SLOT_X[BUTTON_SLOT], GHOST_Y, SWITCH_GLYPHS);
    DrawWords("PAUSE WHEN THE WINDOW LOSES FOCUS", CAPTION_X, FOCUS_PAUSE_Y, 33);
    DrawWords(controls.pauseOnFocusLoss ? "ON" : "OFF", SLOT_X[BUTTON_SLOT], FOCUS_PAUSE_Y,
              SWITCH_GLYPHS);
    DrawWords(screen.message, MESSAGE_X, MESSAGE_Y, MESSAGE_GLYPHS);
    DrawWords("GO BACK", 544, BUTTONS_Y, 7);
    DrawWords("DEFAULT", 846, BUTTONS_Y, 7);
}

void DarkenControl(const SpriteRect& rect) {
    DrawPanel(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TINT_PANEL);
}

void BeginWait(int slot) {
    screen.waitingSlot = slot;
    screen.keysHeld.reset();
    for (int position = NO_KEY_POSITION + 1; position < KEY_POSITION_COUNT; ++position) {
        screen.keysHeld[static_cast<std::size_t>(position)] = KeyPositionDown(position);
    }
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        screen.padsHeld[static_cast<std::size_t>(i)] = PadHeld(static_cast<PadInput>(i));
    }
    screen.unplugsSeen = ControllersUnplugged();
    const std::string_view action = ACTION_CAPTIONS[slot / SLOTS_PER_ACTION];
    screen.message = slot % SLOTS_PER_ACTION == BUTTON_SLOT
                         ? "PRESS A BUTTON FOR " + std::string(action) + " - ESCAPE CANCELS"
                         : "PRESS A KEY FOR " + std::string(action) + " - ESCAPE CANCELS";
}

// Whatever ended the wait is still held: it acts neither as a menu key nor as the way out.
void EndWait(std::string message) {
    screen.waitingSlot = NOT_WAITING;
    screen.message = std::move(message);
    screen.backHeldOver = true;
    HoldMenuKeys();
}

// The first key and the first controller input pressed since the last look, if any.
int NewKeyPress() {
    int pressed = NO_KEY_POSITION;
    for (int position = NO_KEY_POSITION + 1; position < KEY_POSITION_COUNT; ++position) {
        const bool down = KeyPositionDown(position);
        const auto index = static_cast<std::size_t>(position);
        if (down && !screen.keysHeld[index] && pressed == NO_KEY_POSITION) pressed = position;
        screen.keysHeld[index] = down;
    }
    return pressed;
}

int NewPadPress() {
    int pressed = -1;
    for (int i = 0; i < PAD_INPUT_COUNT; ++i) {
        const bool down = PadHeld(static_cast<PadInput>(i));
        bool& held = screen.padsHeld[static_cast<std::size_t>(i)];
        if (down && !held && pressed < 0) pressed = i;
        held = down;
    }
    return pressed;
}

void Bind(int action, int column, int value, const std::string& name) {
    const int other = BindSlot(controls, action, column, value);
    if (other < 0) {
        EndWait(name + " FOR " + std::string(ACTION_CAPTIONS[action]));
    } else if (other == action) {
        EndWait(name + " WAS YOUR OTHER KEY - SWAPPED");
    } else {
        EndWait(name + " WAS ON " + std::string(ACTION_CAPTIONS[other]) + " - SWAPPED");
    }
}

// A key slot takes the next key, a button slot the next button. Escape, the other kind of input
// or an unplugged controller give up; a hotkey is refused.
void Wait() {
    screen.tookKeys = true;
    const int action = screen.waitingSlot / SLOTS_PER_ACTION;
    const int column = screen.waitingSlot % SLOTS_PER_ACTION;
    const int key = NewKeyPress();
    const int pad = NewPadPress();
    if (key == KEY_POSITION_ESCAPE || ControllersUnplugged() != screen.unplugsSeen) {
        EndWait("");
    } else if (column == BUTTON_SLOT) {
        if (pad >= 0) {
            Bind(action, column, pad, std::string(PadInputLabel(static_cast<PadInput>(pad))));
        } else if (key != NO_KEY_POSITION) {
            EndWait("");
        }
    } else if (key != NO_KEY_POSITION) {
        if (KeyBindable(action, key)) {
            Bind(action, column, key, KeyText(key));
        } else if (IsHotkeyPosition(key)) {
            EndWait(KeyText(key) + " IS A HOTKEY AND CANNOT BE BOUND");
        }
    } else if (pad >= 0) {
        EndWait("");
    }
}

void ToggleGhost() { controls.ghostPiece = controls.ghostPiece ? 0 : 1; }
void ToggleFocusPause() { controls.pauseOnFocusLoss = controls.pauseOnFocusLoss ? 0 : 1; }

void ReturnToOptions() {
    screen.focus = NO_FOCUS;
    screen.message.clear();
    frontEnd.pressLatch = 1;
    ChangeScreen(Options,
                 {.shown = textures.BlackScreen, .next = textures.OptionsBackground, .fade = true});
}

void RestoreDefaultBindings() {
    controls.actions = StartingBindings();
    screen.message = "THE DEFAULT KEYS AND BUTTONS ARE BACK";
}

template <int SLOT>
void ChooseSlot() {
    BeginWait(SLOT);
}

template <std::size_t... SLOTS>
constexpr std::array<void (*)(), CONTROL_COUNT> MakeActions(std::index_sequence<SLOTS...>) {
    return {ChooseSlot<SLOTS>..., ToggleGhost, ToggleFocusPause, ReturnToOptions,
            RestoreDefaultBindings};
}
constexpr auto CONTROL_ACTIONS = MakeActions(std::make_index_sequence<CONTROL_SLOT_COUNT>());

void Handle(int control, PressMode mode) {
    HandleControl(ControlRect(control), screen.hoverArmed[static_cast<std::size_t>(control)],
                  DarkenControl, mode, CONTROL_ACTIONS[static_cast<std::size_t>(control)]);
}

// The control the focus row (and column) stands for.
int FocusedControl() {
    if (screen.focus < SWITCH_FOCUS_ROW)
        return screen.focus * SLOTS_PER_ACTION + screen.focusColumn;
    return GHOST_CONTROL + (screen.focus - SWITCH_FOCUS_ROW);
}

void HandleFocus() {
    StepFocus(screen.focus, FOCUS_ROW_COUNT, false);
    if (screen.focus == NO_FOCUS) return;
    const int control = FocusedControl();
    const SpriteRect rect = ControlRect(control);
    const int markerX = control >= RETURN_CONTROL ? rect.left - 36 : MARKER_X;
    DrawSprite(textures.SpriteSheet, &FOCUS_BLOCK, static_cast<float>(markerX),
               static_cast<float>(rect.top));
    if (screen.focus < SWITCH_FOCUS_ROW) {
        DarkenControl(rect);
        const int step = MenuKeyPressed(MenuKey::Right)  ? 1
                         : MenuKeyPressed(MenuKey::Left) ? -1
                                                         : 0;
        if (step != 0) {
            screen.focusColumn = (screen.focusColumn + step + SLOTS_PER_ACTION) % SLOTS_PER_ACTION;
            PlayEffect(SoundId::Hover);
        }
    }
    // GO BACK and DEFAULT wait for the fade in to end, as with the pointer.
    if (MenuKeyPressed(MenuKey::Confirm) && (control < RETURN_CONTROL || !fade.FadeActive)) {
        ClickControl(CONTROL_ACTIONS[static_cast<std::size_t>(control)]);
    }
}

void HandleBack() {
    if (screen.backHeldOver) {
        screen.backHeldOver = MenuBackHeld();
        return;
    }
    if (MenuBackHeld()) ReturnToOptions();
}

}  // namespace

void OpenControlsScreen() {
    frontEnd.pressLatch = 1;
    screen.focus = NO_FOCUS;
    screen.message.clear();
    ChangeScreen(Controls, {.shown = textures.BlackScreen,
                            .next = textures.LevelBackground[CONTROLS_PICTURE],
                            .fade = true});
}

bool ControlsScreenTookKeys() { return screenId == Controls && screen.tookKeys; }

void ResetControlsScreen() { screen = ControlsScreenState{}; }

void ControlsFrame() {
    DrawBackground(0);
    BeginSprites();
    screen.tookKeys = false;
    if (screen.waitingSlot != NOT_WAITING) Wait();
    DrawScreen();
    if (screen.tookKeys) {
        EndSprites();
        return;
    }
    ReadMenuKeys();
    HandleFocus();
    ReadPointer();
    for (int control = 0; control < RETURN_CONTROL; ++control) Handle(control, PressMode::OneShot);
    // The rest waits for the fade in to end; each step looks at the fade anew.
    if (!fade.FadeActive) Handle(RETURN_CONTROL, PressMode::Repeating);
    if (!fade.FadeActive) Handle(DEFAULTS_CONTROL, PressMode::Repeating);
    if (!fade.FadeActive) HandleBack();
    EndSprites();
}
