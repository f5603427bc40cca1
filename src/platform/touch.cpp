#include "platform/touch.h"

#include <set>
#include <string>

#include "platform/touch_testing.h"

// The desktop has no touch controls of its own: a touch screen there stands for the mouse, as
// the window system makes it. Tests script a touch screen here.
namespace {

struct TouchScript {
    bool screen = false;
    std::set<std::string, std::less<>> held;
    std::set<std::string, std::less<>> tapped;
    std::set<std::string, std::less<>> taken;
    bool controlsShown = false;
    bool nameTypingShown = false;
};
TouchScript script;

}  // namespace

bool TouchScreen() { return script.screen; }

void ShowTouchControls(bool shown) { script.controlsShown = shown; }

void ShowNameTyping(bool shown) { script.nameTypingShown = shown; }

void TakeTouchControls() {
    script.taken = script.held;
    script.taken.merge(script.tapped);
    script.tapped.clear();
}

bool TouchControlHeld(std::string_view action) { return script.taken.contains(action); }

void ScriptTouchScreen(bool present) { script.screen = present; }

void ScriptTouchControl(std::string_view action, bool held) {
    if (held) {
        script.held.emplace(action);
    } else if (const auto it = script.held.find(action); it != script.held.end()) {
        script.held.erase(it);
    }
}

void ScriptTouchTap(std::string_view action) { script.tapped.emplace(action); }

bool TouchControlsShown() { return script.controlsShown; }

bool NameTypingShown() { return script.nameTypingShown; }

void StopTouchScript() { script = TouchScript{}; }
