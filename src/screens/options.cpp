#include "common/font_codes.h"
#include "common/settings.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "music/player.h"
#include "screens/front_end.h"
#include "screens/menu_controls.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/setting_changes.h"

namespace {

// Every label has the glyph count its place on the panel was laid out for.
template <std::size_t GLYPHS, std::size_t N>
constexpr std::array<std::uint8_t, GLYPHS> Label(const char (&text)[N]) {
    static_assert(N - 1 == GLYPHS, "the label does not fit its place");
    return FontLabel(text);
}

constexpr auto TITLE = Label<7>("OPTIONS");
constexpr auto FULLSCREEN_CAPTION = Label<10>("FULLSCREEN");
constexpr auto MUSIC_CAPTION = Label<5>("MUSIC");
constexpr auto SOUND_CAPTION = Label<8>("SOUND FX");
constexpr auto MUSIC_VOLUME_CAPTION = Label<12>("MUSIC VOLUME");
constexpr auto SOUND_VOLUME_CAPTION = Label<15>("SOUND FX VOLUME");
constexpr auto MOVE_CAPTION = Label<16>("LEFT/RIGHT SPEED");
constexpr auto ROTATE_CAPTION = Label<14>("ROTATION SPEED");
constexpr auto DROP_CAPTION = Label<15>("SOFT DROP SPEED");
constexpr auto START_LEVEL_CAPTION = Label<11>("START LEVEL");
constexpr auto GARBAGE_CAPTION = Label<12>("GARBAGE ROWS");
constexpr auto DIRECTION_CAPTION = Label<16>("ROTATE DIRECTION");
constexpr auto RETURN_LABEL = Label<7>("GO BACK");
constexpr auto DEFAULTS_LABEL = Label<7>("DEFAULT");
constexpr auto CONTROLS_LABEL = Label<8>("CONTROLS");
// Its first glyph is the decrease button, its sixth the increase button; the blanks between
// let the number show through.
constexpr auto BUTTON_BAR = Label<6>("-    +");
constexpr auto SWITCH_ON = Label<2>("ON");
constexpr auto SWITCH_OFF = Label<3>("OFF");
constexpr auto ZERO_LABEL = Label<1>("0");
constexpr auto TURNS_CLOCKWISE = Label<5>("RIGHT");
constexpr auto TURNS_COUNTER_CLOCKWISE = Label<4>("LEFT");

template <std::size_t N>
void DrawLabel(const std::array<std::uint8_t, N>& label, int x, int y) {
    DrawText(label.data(), static_cast<std::uint8_t>(N), x, y);
}

constexpr int CAPTION_X = 520;
constexpr int BAR_X = 878;
constexpr int NUMBER_X = 848;
constexpr int ZERO_X = 928;
constexpr int SWITCH_ON_X = 908;
constexpr int SWITCH_OFF_X = 900;
constexpr int REPEAT_SHOWN_BASE = 11;  // a repeat of n frames shows as 11 - n, growing with speed

// One step of a setting toward its highest or lowest value, taken only while the value is on
// the near side of it.
template <std::uint8_t Settings::*SETTING>
void StepUp() {
    if (settings.*SETTING < Highest(SETTING)) ++(settings.*SETTING);
}
template <std::uint8_t Settings::*SETTING>
void StepDown() {
    if (settings.*SETTING > Lowest(SETTING)) --(settings.*SETTING);
}

// A repeat is shown as 11 - frames, so the shown number's decrease adds a frame.
template <std::uint8_t Settings::*SETTING>
void RepeatSlower() {
    StepUp<SETTING>();
}
template <std::uint8_t Settings::*SETTING>
void RepeatFaster() {
    StepDown<SETTING>();
}

void ReturnToMenu() {
    frontEnd.optionsFocus = NO_FOCUS;
    ChangeScreen(MainMenu, {.shown = textures.MenuBackground});
}

// The click on the button is still held when the menu comes up, where the high-score item lies
// under the button; the latch keeps it from opening that screen too.
void ReturnByButton() {
    frontEnd.pressLatch = 1;
    ReturnToMenu();
}

// Besides the stored values, the display leaves full screen and paused music plays again, so
// the switches keep describing what the player sees and hears.
void RestoreDefaults() {
    if (settings.fullscreen) SwitchFullscreen();
    if (settings.musicOn != 1) ResumeMusic();
    settings = Settings{};
    SetMusicVolume(settings.musicVolume);
}

void OpenControls() {
    frontEnd.optionsFocus = NO_FOCUS;
    OpenControlsScreen();
}

enum class Shown { Switch, Number, Repeat, Direction, Button };

constexpr int CONTROL_HEIGHT = 32;
constexpr int ROW_MARKER_X = 478;
// A button on a panel of its own: the panel reaches this far past the button's sides and ends.
constexpr int PANEL_MARGIN_X = 12;
constexpr int PANEL_MARGIN_Y = 4;

// One row of the screen, in the order the keyboard and the controllers walk through them: the
// eleven settings, then GO BACK, DEFAULT and CONTROLS. A switch, the direction and a button have
// one control; a number and a repeat have two, their - and +.
struct OptionRow {
    int y;
    const std::uint8_t* caption;  // at CAPTION_X; a button's label at its left edge
    std::uint8_t captionLength;
    std::uint8_t Settings::*setting;  // the value shown; null for a button
    Shown shown;
    std::array<void (*)(), 2> actions;  // the one press, or - then +
    int left = CAPTION_X;               // where the caption or label stands
    int controlHeight = CONTROL_HEIGHT;
    // A button's own: where it is pressed, where its focus marker stands, how it meets a held
    // press, and whether it stands on a panel of its own.
    SpriteRect buttonRect{};
    int markerX = ROW_MARKER_X;
    PressMode buttonMode = PressMode::OneShot;
    bool onPanel = false;
};

template <std::size_t N>
constexpr OptionRow Setting(int y, const std::array<std::uint8_t, N>& caption,
                            std::uint8_t Settings::*setting, Shown shown, void (*press)()) {
    return {y, caption.data(), static_cast<std::uint8_t>(N), setting, shown, {press, nullptr}};
}
template <std::size_t N>
constexpr OptionRow Stepped(int y, const std::array<std::uint8_t, N>& caption,
                            std::uint8_t Settings::*setting, Shown shown, void (*decrease)(),
                            void (*increase)(), int controlHeight = CONTROL_HEIGHT) {
    return {y,         caption.data(), static_cast<std::uint8_t>(N),
            setting,   shown,          {decrease, increase},
            CAPTION_X, controlHeight};
}
template <std::size_t N>
constexpr OptionRow Button(int x, int y, const std::array<std::uint8_t, N>& label, void (*press)(),
                           SpriteRect rect, int markerX, PressMode mode, bool onPanel = false) {
    OptionRow row{
        y, label.data(), static_cast<std::uint8_t>(N), nullptr, Shown::Button, {press, nullptr}, x};
    row.buttonRect = rect;
    row.markerX = markerX;
    row.buttonMode = mode;
    row.onPanel = onPanel;
    return row;
}

constexpr OptionRow ROWS[] = {
    Setting(112, FULLSCREEN_CAPTION, &Settings::fullscreen, Shown::Switch, SwitchFullscreen),
    Setting(152, MUSIC_CAPTION, &Settings::musicOn, Shown::Switch, ToggleMusicSwitch),
    Setting(192, SOUND_CAPTION, &Settings::soundOn, Shown::Switch, ToggleSoundSwitch),
    Stepped(272, MUSIC_VOLUME_CAPTION, &Settings::musicVolume, Shown::Number, MusicVolumeDown,
            MusicVolumeUp),
    // The sound volume's buttons reach lower than the others.
    Stepped(312, SOUND_VOLUME_CAPTION, &Settings::soundVolume, Shown::Number, SoundVolumeDown,
            SoundVolumeUp, 42),
    Stepped(392, MOVE_CAPTION, &Settings::moveRepeat, Shown::Repeat,
            RepeatSlower<&Settings::moveRepeat>, RepeatFaster<&Settings::moveRepeat>),
    Stepped(432, ROTATE_CAPTION, &Settings::rotateRepeat, Shown::Repeat,
            RepeatSlower<&Settings::rotateRepeat>, RepeatFaster<&Settings::rotateRepeat>),
    Stepped(472, DROP_CAPTION, &Settings::dropRepeat, Shown::Repeat,
            RepeatSlower<&Settings::dropRepeat>, RepeatFaster<&Settings::dropRepeat>),
    Stepped(542, START_LEVEL_CAPTION, &Settings::startLevel, Shown::Number,
            StepDown<&Settings::startLevel>, StepUp<&Settings::startLevel>),
    Stepped(582, GARBAGE_CAPTION, &Settings::garbageRows, Shown::Number,
            StepDown<&Settings::garbageRows>, StepUp<&Settings::garbageRows>),
    Setting(622, DIRECTION_CAPTION, &Settings::rotateReversed, Shown::Direction,
            ToggleRotationSwitch),
    Button(544, 704, RETURN_LABEL, ReturnByButton, {544, 704, 662, 736}, 508, PressMode::Repeating),
    Button(846, 704, DEFAULTS_LABEL, RestoreDefaults, {846, 704, 964, 736}, 810,
           PressMode::Repeating),
    // The way to the keys and buttons, on a panel of its own under the help box at the left.
    Button(192, 440, CONTROLS_LABEL, OpenControls, {188, 440, 324, 472}, 148, PressMode::OneShot,
           true),
};
constexpr int ROW_COUNT = static_cast<int>(std::size(ROWS));

constexpr bool IsStepped(const OptionRow& row) {
    return row.shown == Shown::Number || row.shown == Shown::Repeat;
}

// A control of a row. The switches and the - and + buttons act whether a fade runs or not; the
// direction and the buttons wait for the fade in from the menu to end. GO BACK and DEFAULT act
// in every frame while the mouse button is held on them.
struct OptionControl {
    SpriteRect rect;
    void (*action)();
    PressMode mode = PressMode::OneShot;
    bool waitsForFade = false;
};

constexpr int ControlCount(const OptionRow& row) { return IsStepped(row) ? 2 : 1; }

constexpr OptionControl ControlOf(const OptionRow& row, int which) {
    const int top = row.y;
    const int bottom = row.y + row.controlHeight;
    switch (row.shown) {
        case Shown::Switch:
            return {{900, top, 948, bottom}, row.actions[0]};
        case Shown::Number:
        case Shown::Repeat:
            return which == 0 ? OptionControl{{878, top, 894, bottom}, row.actions[0]}
                              : OptionControl{{958, top, 974, bottom}, row.actions[1]};
        case Shown::Direction:
            return {{878, top, 964, bottom}, row.actions[0], PressMode::OneShot, true};
        case Shown::Button:
            break;
    }
    return {row.buttonRect, row.actions[0], row.buttonMode, true};
}

// Every control, row by row; a control's place here is its place in the hover flags.
constexpr auto CONTROLS = [] {
    std::array<OptionControl, OPTIONS_CONTROL_COUNT> controls{};
    int next = 0;
    for (const OptionRow& row : ROWS) {
        for (int which = 0; which < ControlCount(row); ++which) {
            controls[static_cast<std::size_t>(next++)] = ControlOf(row, which);
        }
    }
    return controls;
}();
static_assert([] {
    int count = 0;
    for (const OptionRow& row : ROWS) count += ControlCount(row);
    return count;
}() == OPTIONS_CONTROL_COUNT);

// Where each row's first control stands in CONTROLS.
constexpr auto FIRST_CONTROL = [] {
    std::array<int, ROW_COUNT> first{};
    int next = 0;
    for (int i = 0; i < ROW_COUNT; ++i) {
        first[static_cast<std::size_t>(i)] = next;
        next += ControlCount(ROWS[i]);
    }
    return first;
}();

void DrawLabels() {
    DrawLabel(TITLE, 692, 32);
    for (const OptionRow& row : ROWS) {
        if (row.onPanel) {
            const SpriteRect& r = row.buttonRect;
            DrawPanel(r.left - PANEL_MARGIN_X, r.top - PANEL_MARGIN_Y,
                      r.right - r.left + 2 * PANEL_MARGIN_X, r.bottom - r.top + 2 * PANEL_MARGIN_Y);
        }
        DrawText(row.caption, row.captionLength, row.left, row.y);
        if (IsStepped(row)) DrawLabel(BUTTON_BAR, BAR_X, row.y);
    }
}

void DrawValues() {
    for (const OptionRow& row : ROWS) {
        if (row.setting == nullptr) continue;
        const std::uint8_t value = settings.*row.setting;
        switch (row.shown) {
            case Shown::Switch:
                if (value) {
                    DrawLabel(SWITCH_ON, SWITCH_ON_X, row.y);
                } else {
                    DrawLabel(SWITCH_OFF, SWITCH_OFF_X, row.y);
                }
                break;
            case Shown::Number:
                // A number field would leave 0 all blank.
                if (value == 0) {
                    DrawLabel(ZERO_LABEL, ZERO_X, row.y);
                } else {
                    DrawNumber(value, NUMBER_X, row.y);
                }
                break;
            case Shown::Repeat:
                DrawNumber(static_cast<std::uint8_t>(REPEAT_SHOWN_BASE - value), NUMBER_X, row.y);
                break;
            case Shown::Direction:
                if (value == 0) {
                    DrawLabel(TURNS_CLOCKWISE, BAR_X, row.y);
                } else {
                    DrawLabel(TURNS_COUNTER_CLOCKWISE, BAR_X, row.y);
                }
                break;
            case Shown::Button:
                break;
        }
    }
}

// Darkens the control, its own glyphs included: it is drawn after the labels and values.
void DarkenControl(const SpriteRect& rect) {
    DrawPanel(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TINT_PANEL);
}

// As with the pointer, a control that waits for the fade in does so for the keys too.
void PressByKey(int index) {
    const OptionControl& control = CONTROLS[static_cast<std::size_t>(index)];
    if (control.waitsForFade && fade.FadeActive) return;
    ClickControl(control.action);
}

// Left and Right press a row's - and + (a switch's and the direction's both toggle it), Return
// presses a switch, the direction or a button.
void HandleFocus() {
    StepFocus(frontEnd.optionsFocus, ROW_COUNT, false);
    if (frontEnd.optionsFocus == NO_FOCUS) return;
    const OptionRow& row = ROWS[frontEnd.optionsFocus];
    const int first = FIRST_CONTROL[static_cast<std::size_t>(frontEnd.optionsFocus)];
    const bool button = row.shown == Shown::Button;
    DrawSprite(textures.SpriteSheet, &FOCUS_BLOCK, static_cast<float>(row.markerX),
               static_cast<float>(row.y));
    const int last = first + ControlCount(row) - 1;
    if (!button && MenuKeyPressed(MenuKey::Left)) PressByKey(first);
    if (!button && MenuKeyPressed(MenuKey::Right)) PressByKey(last);
    if (!IsStepped(row) && MenuKeyPressed(MenuKey::Confirm)) PressByKey(first);
}
}  // namespace

void OptionsFrame() {
    DrawBackground(0);
    BeginSprites();
    DrawPanel(512, 24, 472, 720, TINT_OPTIONS_PANEL);
    DrawLabels();
    DrawValues();
    ReadMenuKeys();
    HandleFocus();
    ReadPointer();
    // Each control that waits for the fade looks at it anew: a control before it may end it.
    for (std::size_t i = 0; i < CONTROLS.size(); ++i) {
        const OptionControl& control = CONTROLS[i];
        if (control.waitsForFade && fade.FadeActive) continue;
        HandleControl(control.rect, frontEnd.optionsHoverArmed[i], DarkenControl, control.mode,
                      control.action);
    }
    if (!fade.FadeActive && MenuBackHeld()) ReturnToMenu();
    EndSprites();
}
