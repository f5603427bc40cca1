#include <algorithm>
#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <utility>

#include "common/bindings.h"
#include "common/font_codes.h"
#include "common/random.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "platform/touch.h"
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
constexpr int CAPTION_X = 72;
constexpr int HEADER_Y = 96;
constexpr int FIRST_ACTION_Y = 144;
constexpr int ROW_STEP = 40;
constexpr int LEGEND_Y = 592;
constexpr int MESSAGE_X = 72;
constexpr int MESSAGE_Y = 656;
// On a touch screen the legend and the message make room for the touch controls' switch.
constexpr int TOUCH_SWITCH_ROOM = 16;
constexpr int BUTTONS_Y = 704;
constexpr int GLYPH_WIDTH = 16;
constexpr int GLYPH_HEIGHT = 32;
constexpr int MESSAGE_GLYPHS = 56;
constexpr int SWITCH_GLYPHS = 3;
// The three columns of an action's row: its two keys and its controller button.
constexpr std::array<int, SLOTS_PER_ACTION> SLOT_X = {320, 560, 800};
constexpr std::array<int, SLOTS_PER_ACTION> SLOT_GLYPHS = {14, 14, 11};
constexpr int SLOT_MARGIN = 4;

// What the controller's names in the BUTTON column stand for.
constexpr std::string_view PAD_LEGEND[] = {
    "LEFT RIGHT UP DOWN - THE D-PAD OR THE LEFT STICK LEANING",
    "LB RB - SHOULDER BUTTONS   LS RS - A STICK PRESSED IN",
};

constexpr int NOT_WAITING = -1;

void ReturnToOptions();
void RestoreDefaultBindings();

// One row of the screen, in the order the keyboard and the controllers walk through them: an
// action with its three slots, a switch of the player's bindings, or a button.
enum class RowKind { Action, Switch, Button };
struct ControlsRow {
    RowKind kind;
    int y;
    std::string_view caption;  // at CAPTION_X; a button's label at its own place
    int action = 0;
    std::uint8_t PlayerBindings::*flag = nullptr;
    void (*press)() = nullptr;
    SpriteRect buttonRect{};
    bool touchOnly = false;  // shown, and chosen, only on a touch screen
};

constexpr ControlsRow ActionRow(PlayAction named) {
    const int action = ActionIndex(named);
    return {RowKind::Action, FIRST_ACTION_Y + ROW_STEP * action, PLAY_ACTIONS[action].caption,
            action};
}
constexpr ControlsRow SwitchRow(int y, std::string_view caption,
                                std::uint8_t PlayerBindings::*flag) {
    return {RowKind::Switch, y, caption, 0, flag};
}
constexpr ControlsRow TouchSwitchRow(int y, std::string_view caption,
                                     std::uint8_t PlayerBindings::*flag) {
    return {RowKind::Switch, y, caption, 0, flag, nullptr, {}, true};
}
constexpr ControlsRow ButtonRow(std::string_view label, void (*press)(), SpriteRect rect) {
    return {RowKind::Button, rect.top, label, 0, nullptr, press, rect};
}

constexpr ControlsRow ROWS[] = {
    ActionRow(PlayAction::Turn),
    ActionRow(PlayAction::TurnOther),
    ActionRow(PlayAction::ShiftLeft),
    ActionRow(PlayAction::ShiftRight),
    ActionRow(PlayAction::SoftDrop),
    ActionRow(PlayAction::HardDrop),
    ActionRow(PlayAction::Abandon),
    ActionRow(PlayAction::Pause),
    SwitchRow(464, "GHOST PIECE", &PlayerBindings::ghostPiece),
    SwitchRow(500, "PAUSE WHEN THE WINDOW LOSES FOCUS", &PlayerBindings::pauseOnFocusLoss),
    SwitchRow(536, "DEMO GAME ON THE TITLE SCREEN", &PlayerBindings::titleDemo),
    TouchSwitchRow(572, "TOUCH CONTROLS IN PLAY", &PlayerBindings::touchControls),
    ButtonRow("GO BACK", ReturnToOptions, {544, BUTTONS_Y, 662, BUTTONS_Y + GLYPH_HEIGHT}),
    ButtonRow("DEFAULT", RestoreDefaultBindings, {846, BUTTONS_Y, 964, BUTTONS_Y + GLYPH_HEIGHT}),
};
constexpr int ROW_COUNT = static_cast<int>(std::size(ROWS));
static_assert(
    [] {
        for (int action = 0; action < PLAY_ACTION_COUNT; ++action) {
            if (ROWS[action].kind != RowKind::Action || ROWS[action].action != action) return false;
        }
        return true;
    }(),
    "the actions' rows come first, in the order of the actions");

bool RowShown(int row) { return !ROWS[row].touchOnly || TouchScreen(); }

constexpr int ColumnCount(const ControlsRow& row) {
    return row.kind == RowKind::Action ? SLOTS_PER_ACTION : 1;
}

// A place on the screen that the pointer, the keyboard or a controller can choose: a slot, a
// switch or a button, with its row and column.
struct ScreenControl {
    SpriteRect rect;
    int row;
    int column;
};

constexpr SpriteRect TextRect(int x, int y, int glyphs) {
    return {x - SLOT_MARGIN, y, x + GLYPH_WIDTH * glyphs + SLOT_MARGIN, y + GLYPH_HEIGHT};
}

constexpr SpriteRect ControlRect(const ControlsRow& row, int column) {
    switch (row.kind) {
        case RowKind::Action:
            return TextRect(SLOT_X[column], row.y, SLOT_GLYPHS[column]);
        case RowKind::Switch:
            return TextRect(SLOT_X[BUTTON_SLOT], row.y, SWITCH_GLYPHS);
        case RowKind::Button:
            break;
    }
    return row.buttonRect;
}

constexpr int CONTROL_COUNT = [] {
    int count = 0;
    for (const ControlsRow& row : ROWS) count += ColumnCount(row);
    return count;
}();

// Every control, row by row; a control's place here is its place in the hover flags.
constexpr auto CONTROLS = [] {
    std::array<ScreenControl, CONTROL_COUNT> controls{};
    std::size_t next = 0;
    for (int row = 0; row < ROW_COUNT; ++row) {
        for (int column = 0; column < ColumnCount(ROWS[row]); ++column) {
            controls[next++] = {ControlRect(ROWS[row], column), row, column};
        }
    }
    return controls;
}();

struct ControlsScreenState {
    std::array<std::uint8_t, CONTROL_COUNT> hoverArmed = AllArmed<CONTROL_COUNT>();
    // The one chosen control, by row and column, whether the keyboard, a controller or the
    // pointer chose it last; the row is NO_FOCUS until one of them does.
    int focus = NO_FOCUS;
    int focusColumn = 0;
    // Where the pointer was in the last frame: only a pointer that moves chooses a control.
    PointerPos lastPointer{};
    bool pointerSeen = false;
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

// Words in the game's font, cut to `glyphs` cells.
void DrawWords(std::string_view text, int x, int y, int glyphs) {
    std::array<std::uint8_t, MESSAGE_GLYPHS> codes{};
    const std::size_t length =
        std::min({text.size(), codes.size(), static_cast<std::size_t>(glyphs)});
    for (std::size_t i = 0; i < length; ++i) codes[i] = FontCode(text[i]);
    DrawText(codes.data(), static_cast<std::uint8_t>(length), x, y);
}

std::string KeyText(int position) { return SpeltForScreen(KeyPositionLabel(position)); }

std::string SlotText(int action, int column) {
    const int value = SlotValue(bindings, action, column);
    if (column == BUTTON_SLOT) {
        return value < PAD_INPUT_COUNT ? std::string(PadInputLabel(static_cast<PadInput>(value)))
                                       : "-";
    }
    return value == NO_KEY_POSITION ? "-" : KeyText(value);
}

void DrawRow(const ControlsRow& row) {
    switch (row.kind) {
        case RowKind::Action:
            DrawWords(row.caption, CAPTION_X, row.y, SLOT_X[0] / GLYPH_WIDTH);
            for (int column = 0; column < SLOTS_PER_ACTION; ++column) {
                const bool waiting = screen.waitingSlot == row.action * SLOTS_PER_ACTION + column;
                const std::string text = waiting ? (column == BUTTON_SLOT ? "PRESS" : "PRESS A KEY")
                                                 : SlotText(row.action, column);
                DrawWords(text, SLOT_X[column], row.y, SLOT_GLYPHS[column]);
            }
            break;
        case RowKind::Switch:
            DrawWords(row.caption, CAPTION_X, row.y, MESSAGE_GLYPHS);
            DrawWords(bindings.*row.flag ? "ON" : "OFF", SLOT_X[BUTTON_SLOT], row.y, SWITCH_GLYPHS);
            break;
        case RowKind::Button:
            DrawWords(row.caption, row.buttonRect.left, row.y, MESSAGE_GLYPHS);
            break;
    }
}

void DrawScreen() {
    DrawPanel(24, 24, 976, 720, TINT_OPTIONS_PANEL);
    DrawWords("CONTROLS", 448, 32, 8);
    DrawWords("KEY", SLOT_X[0], HEADER_Y, 3);
    DrawWords("OTHER KEY", SLOT_X[1], HEADER_Y, 9);
    DrawWords("BUTTON", SLOT_X[BUTTON_SLOT], HEADER_Y, 6);
    for (int row = 0; row < ROW_COUNT; ++row) {
        if (RowShown(row)) DrawRow(ROWS[row]);
    }
    const int room = TouchScreen() ? TOUCH_SWITCH_ROOM : 0;
    for (std::size_t line = 0; line < std::size(PAD_LEGEND); ++line) {
        DrawWords(PAD_LEGEND[line], CAPTION_X,
                  LEGEND_Y + room + GLYPH_HEIGHT * static_cast<int>(line), MESSAGE_GLYPHS);
    }
    DrawWords(screen.message, MESSAGE_X, MESSAGE_Y + room, MESSAGE_GLYPHS);
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
    const std::string_view action = PLAY_ACTIONS[slot / SLOTS_PER_ACTION].caption;
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
    const int other = BindSlot(bindings, action, column, value);
    if (other < 0) {
        EndWait(name + " FOR " + std::string(PLAY_ACTIONS[action].caption));
    } else if (other == action) {
        EndWait(name + " WAS YOUR OTHER KEY - SWAPPED");
    } else {
        EndWait(name + " WAS ON " + std::string(PLAY_ACTIONS[other].caption) + " - SWAPPED");
    }
}

// A key slot takes the next key, a button slot the next button; a hotkey is refused. Escape
// (and B or Back when a key is awaited) gives up, and so does an unplugged controller or the
// other kind of input, saying why.
void Wait() {
    screen.tookKeys = true;
    const int action = screen.waitingSlot / SLOTS_PER_ACTION;
    const int column = screen.waitingSlot % SLOTS_PER_ACTION;
    const int key = NewKeyPress();
    const int pad = NewPadPress();
    if (key == KEY_POSITION_ESCAPE) {
        EndWait("");
    } else if (ControllersUnplugged() != screen.unplugsSeen) {
        EndWait("THE CONTROLLER WAS UNPLUGGED - NOTHING CHANGED");
    } else if (column == BUTTON_SLOT) {
        if (pad >= 0) {
            Bind(action, column, pad, std::string(PadInputLabel(static_cast<PadInput>(pad))));
        } else if (key != NO_KEY_POSITION) {
            EndWait("A KEY GOES IN A KEY COLUMN - NOTHING CHANGED");
        }
    } else if (key != NO_KEY_POSITION) {
        if (KeyBindable(action, key)) {
            Bind(action, column, key, KeyText(key));
        } else if (IsHotkeyPosition(key)) {
            EndWait(KeyText(key) + " IS A HOTKEY AND CANNOT BE BOUND");
        }
    } else if (pad == static_cast<int>(PadInput::B) || pad == static_cast<int>(PadInput::Back)) {
        EndWait("");
    } else if (pad >= 0) {
        EndWait("A BUTTON GOES IN THE BUTTON COLUMN - NOTHING CHANGED");
    }
}

// A button slot is only worth waiting on with a controller to press.
void ChooseSlot(int action, int column) {
    if (column == BUTTON_SLOT && OpenControllerCount() == 0) {
        screen.message = "NO CONTROLLER IS PLUGGED IN - PLUG ONE IN FIRST";
        return;
    }
    BeginWait(action * SLOTS_PER_ACTION + column);
}

void ReturnToOptions() {
    screen.focus = NO_FOCUS;
    screen.message.clear();
    frontEnd.pressLatch = 1;
    ChangeScreen(Options,
                 {.shown = textures.BlackScreen, .next = textures.OptionsBackground, .fade = true});
}

void RestoreDefaultBindings() {
    bindings.actions = StartingBindings();
    screen.message = "THE DEFAULT KEYS AND BUTTONS ARE BACK";
}

void Press(int control) {
    const ScreenControl& chosen = CONTROLS[static_cast<std::size_t>(control)];
    const ControlsRow& row = ROWS[chosen.row];
    // The control pressed is the one marked, however it was pressed.
    screen.focus = chosen.row;
    if (row.kind == RowKind::Action) screen.focusColumn = chosen.column;
    switch (row.kind) {
        case RowKind::Action:
            ChooseSlot(row.action, chosen.column);
            break;
        case RowKind::Switch:
            bindings.*row.flag = bindings.*row.flag ? 0 : 1;
            break;
        case RowKind::Button:
            row.press();
            break;
    }
}

template <int CONTROL>
void PressControl() {
    Press(CONTROL);
}

template <std::size_t... CONTROL>
constexpr std::array<void (*)(), CONTROL_COUNT> MakePresses(std::index_sequence<CONTROL...>) {
    return {PressControl<static_cast<int>(CONTROL)>...};
}
constexpr auto PRESSES = MakePresses(std::make_index_sequence<CONTROL_COUNT>());

// The buttons wait for the fade in to end, with the pointer as with the keys; GO BACK and
// DEFAULT act in every frame while the mouse button is held on them.
bool WaitsForFade(int control) {
    return ROWS[CONTROLS[static_cast<std::size_t>(control)].row].kind == RowKind::Button;
}

int ControlAt(int row, int column) {
    for (int control = 0; control < CONTROL_COUNT; ++control) {
        const ScreenControl& c = CONTROLS[static_cast<std::size_t>(control)];
        if (c.row == row && c.column == std::min(column, ColumnCount(ROWS[row]) - 1)) {
            return control;
        }
    }
    return 0;
}

int FocusedControl() { return ControlAt(screen.focus, screen.focusColumn); }

// A pointer that moves onto a control chooses it, as the keys do: one mark at a time.
void FollowPointer() {
    const PointerPos pointer = frontEnd.PointerPos;
    const bool moved = screen.pointerSeen &&
                       (pointer.x != screen.lastPointer.x || pointer.y != screen.lastPointer.y);
    screen.lastPointer = pointer;
    screen.pointerSeen = true;
    if (!moved) return;
    for (const ScreenControl& control : CONTROLS) {
        if (!RowShown(control.row) || !PointerInside(control.rect)) continue;
        screen.focus = control.row;
        if (ColumnCount(ROWS[control.row]) > 1) screen.focusColumn = control.column;
        return;
    }
}

// Up and Down walk the rows, Left and Right an action's slots; Return, Enter or A presses.
void HandleFocusKeys() {
    if (StepFocus(screen.focus, ROW_COUNT, false) && !RowShown(screen.focus)) {
        const int step = MenuKeyPressed(MenuKey::Up) ? ROW_COUNT - 1 : 1;
        screen.focus = (screen.focus + step) % ROW_COUNT;
    }
    if (screen.focus == NO_FOCUS) return;
    if (ROWS[screen.focus].kind == RowKind::Action) {
        const int step = MenuKeyPressed(MenuKey::Right)  ? 1
                         : MenuKeyPressed(MenuKey::Left) ? -1
                                                         : 0;
        if (step != 0) {
            screen.focusColumn = (screen.focusColumn + step + SLOTS_PER_ACTION) % SLOTS_PER_ACTION;
            PlayEffect(SoundId::Hover, ProgramRandom());
        }
    }
    const int control = FocusedControl();
    if (MenuKeyPressed(MenuKey::Confirm) && (!WaitsForFade(control) || !fade.FadeActive)) {
        ClickControl(PRESSES[static_cast<std::size_t>(control)]);
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
    screen.pointerSeen = false;
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
        if (screen.focus != NO_FOCUS) DrawFrame(CONTROLS[FocusedControl()].rect);
        EndSprites();
        return;
    }
    ReadMenuKeys();
    ReadPointer();
    FollowPointer();
    HandleFocusKeys();
    // Each control that waits for the fade looks at it anew: a control before it may end it.
    for (int control = 0; control < CONTROL_COUNT; ++control) {
        const bool button = WaitsForFade(control);
        if (button && fade.FadeActive) continue;
        const ScreenControl& c = CONTROLS[static_cast<std::size_t>(control)];
        if (!RowShown(c.row)) continue;
        HandleControl(c.rect, screen.hoverArmed[static_cast<std::size_t>(control)], nullptr,
                      button ? PressMode::Repeating : PressMode::OneShot,
                      PRESSES[static_cast<std::size_t>(control)]);
    }
    if (!fade.FadeActive) HandleBack();
    if (screen.focus != NO_FOCUS) DrawFrame(CONTROLS[FocusedControl()].rect);
    EndSprites();
}
