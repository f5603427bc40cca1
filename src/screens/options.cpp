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

enum class Shown { Switch, Number, Repeat, Direction };

struct OptionRow {
    int y;
    const std::uint8_t* caption;
    std::uint8_t captionLength;
    std::uint8_t Settings::*setting;
    Shown shown;
};

template <std::size_t N>
constexpr OptionRow Row(int y, const std::array<std::uint8_t, N>& caption,
                        std::uint8_t Settings::*setting, Shown shown) {
    return {y, caption.data(), static_cast<std::uint8_t>(N), setting, shown};
}

const OptionRow ROWS[] = {
    Row(112, FULLSCREEN_CAPTION, &Settings::fullscreen, Shown::Switch),
    Row(152, MUSIC_CAPTION, &Settings::musicOn, Shown::Switch),
    Row(192, SOUND_CAPTION, &Settings::soundOn, Shown::Switch),
    Row(272, MUSIC_VOLUME_CAPTION, &Settings::musicVolume, Shown::Number),
    Row(312, SOUND_VOLUME_CAPTION, &Settings::soundVolume, Shown::Number),
    Row(392, MOVE_CAPTION, &Settings::moveRepeat, Shown::Repeat),
    Row(432, ROTATE_CAPTION, &Settings::rotateRepeat, Shown::Repeat),
    Row(472, DROP_CAPTION, &Settings::dropRepeat, Shown::Repeat),
    Row(542, START_LEVEL_CAPTION, &Settings::startLevel, Shown::Number),
    Row(582, GARBAGE_CAPTION, &Settings::garbageRows, Shown::Number),
    Row(622, DIRECTION_CAPTION, &Settings::rotateReversed, Shown::Direction),
};

void DrawLabels() {
    DrawLabel(TITLE, 692, 32);
    for (const OptionRow& row : ROWS) {
        DrawText(row.caption, row.captionLength, CAPTION_X, row.y);
        if (row.shown == Shown::Number || row.shown == Shown::Repeat)
            DrawLabel(BUTTON_BAR, BAR_X, row.y);
    }
    DrawLabel(RETURN_LABEL, 544, 704);
    DrawLabel(DEFAULTS_LABEL, 846, 704);
    // The way to the keys and buttons, on a panel of its own under the help box at the left.
    DrawPanel(176, 436, 160, 40);
    DrawLabel(CONTROLS_LABEL, 192, 440);
}

void DrawValues() {
    for (const OptionRow& row : ROWS) {
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
        }
    }
}

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

struct OptionControl {
    SpriteRect rect;
    void (*action)();
};

// Controls 1 to 17, handled every frame whether a fade runs or not.
constexpr OptionControl SETTING_CONTROLS[] = {
    {{900, 112, 948, 144}, SwitchFullscreen},
    {{900, 152, 948, 184}, ToggleMusicSwitch},
    {{900, 192, 948, 224}, ToggleSoundSwitch},
    {{878, 272, 894, 304}, MusicVolumeDown},
    {{958, 272, 974, 304}, MusicVolumeUp},
    {{878, 312, 894, 354}, SoundVolumeDown},
    {{958, 312, 974, 354}, SoundVolumeUp},
    {{878, 392, 894, 424}, RepeatSlower<&Settings::moveRepeat>},
    {{958, 392, 974, 424}, RepeatFaster<&Settings::moveRepeat>},
    {{878, 432, 894, 464}, RepeatSlower<&Settings::rotateRepeat>},
    {{958, 432, 974, 464}, RepeatFaster<&Settings::rotateRepeat>},
    {{878, 472, 894, 504}, RepeatSlower<&Settings::dropRepeat>},
    {{958, 472, 974, 504}, RepeatFaster<&Settings::dropRepeat>},
    {{878, 542, 894, 574}, StepDown<&Settings::startLevel>},
    {{958, 542, 974, 574}, StepUp<&Settings::startLevel>},
    {{878, 582, 894, 614}, StepDown<&Settings::garbageRows>},
    {{958, 582, 974, 614}, StepUp<&Settings::garbageRows>},
};
constexpr OptionControl DIRECTION_CONTROL = {{878, 622, 964, 654}, ToggleRotationSwitch};
constexpr OptionControl RETURN_CONTROL = {{544, 704, 662, 736}, ReturnByButton};
constexpr OptionControl DEFAULTS_CONTROL = {{846, 704, 964, 736}, RestoreDefaults};
constexpr OptionControl CONTROLS_CONTROL = {{188, 440, 324, 472}, OpenControls};

constexpr int DIRECTION_INDEX = 17;
constexpr int RETURN_INDEX = 18;
constexpr int DEFAULTS_INDEX = 19;
constexpr int CONTROLS_INDEX = 20;

// Darkens the control, its own glyphs included: it is drawn after the labels and values.
void DarkenControl(const SpriteRect& rect) {
    DrawPanel(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TINT_PANEL);
}

void Handle(const OptionControl& control, int index, PressMode mode) {
    HandleControl(control.rect, frontEnd.optionsHoverArmed[index], DarkenControl, mode,
                  control.action);
}

// The rows the keyboard and the controllers walk through: the eleven settings, then GO BACK and
// DEFAULT. Left and Right press a row's - and + (a switch's both toggle it), Return presses a
// switch or a button. Indices are those of the controls above; NONE where a row has no such key.
constexpr int NONE = -1;
struct FocusRow {
    int left, right, confirm;
    int markerX, markerY;  // the block that marks the row, beside its caption or button
};
constexpr int ROW_MARKER_X = 478;
constexpr FocusRow FOCUS_ROWS[] = {
    {0, 0, 0, ROW_MARKER_X, 112},
    {1, 1, 1, ROW_MARKER_X, 152},
    {2, 2, 2, ROW_MARKER_X, 192},
    {3, 4, NONE, ROW_MARKER_X, 272},
    {5, 6, NONE, ROW_MARKER_X, 312},
    {7, 8, NONE, ROW_MARKER_X, 392},
    {9, 10, NONE, ROW_MARKER_X, 432},
    {11, 12, NONE, ROW_MARKER_X, 472},
    {13, 14, NONE, ROW_MARKER_X, 542},
    {15, 16, NONE, ROW_MARKER_X, 582},
    {DIRECTION_INDEX, DIRECTION_INDEX, DIRECTION_INDEX, ROW_MARKER_X, 622},
    {NONE, NONE, RETURN_INDEX, 508, 704},
    {NONE, NONE, DEFAULTS_INDEX, 810, 704},
    {NONE, NONE, CONTROLS_INDEX, 148, 440},
};
constexpr int FOCUS_ROW_COUNT = static_cast<int>(std::size(FOCUS_ROWS));

const OptionControl& ControlAt(int index) {
    if (index == DIRECTION_INDEX) return DIRECTION_CONTROL;
    if (index == RETURN_INDEX) return RETURN_CONTROL;
    if (index == DEFAULTS_INDEX) return DEFAULTS_CONTROL;
    if (index == CONTROLS_INDEX) return CONTROLS_CONTROL;
    return SETTING_CONTROLS[index];
}

// As with the pointer, the controls after the seventeenth wait for the fade in to end.
void PressByKey(int index) {
    if (index == NONE || (index >= DIRECTION_INDEX && fade.FadeActive)) return;
    ClickControl(ControlAt(index).action);
}

void HandleFocus() {
    StepFocus(frontEnd.optionsFocus, FOCUS_ROW_COUNT, false);
    if (frontEnd.optionsFocus == NO_FOCUS) return;
    const FocusRow& row = FOCUS_ROWS[frontEnd.optionsFocus];
    DrawSprite(textures.SpriteSheet, &FOCUS_BLOCK, static_cast<float>(row.markerX),
               static_cast<float>(row.markerY));
    if (MenuKeyPressed(MenuKey::Left)) PressByKey(row.left);
    if (MenuKeyPressed(MenuKey::Right)) PressByKey(row.right);
    if (MenuKeyPressed(MenuKey::Confirm)) PressByKey(row.confirm);
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
    for (int i = 0; i < static_cast<int>(std::size(SETTING_CONTROLS)); ++i) {
        Handle(SETTING_CONTROLS[i], i, PressMode::OneShot);
    }
    // The rest waits for the fade in from the menu to end; each step looks at the fade anew.
    if (!fade.FadeActive) Handle(DIRECTION_CONTROL, DIRECTION_INDEX, PressMode::OneShot);
    if (!fade.FadeActive) Handle(RETURN_CONTROL, RETURN_INDEX, PressMode::Repeating);
    if (!fade.FadeActive) Handle(DEFAULTS_CONTROL, DEFAULTS_INDEX, PressMode::Repeating);
    if (!fade.FadeActive) {
        HandleControl(CONTROLS_CONTROL.rect, frontEnd.controlsHoverArmed, DarkenControl,
                      PressMode::OneShot, CONTROLS_CONTROL.action);
    }
    if (!fade.FadeActive && MenuBackHeld()) ReturnToMenu();
    EndSprites();
}
