#include "screens/menu_controls.h"

#include "common/random.h"
#include "screens/menu_controls_testing.h"
#include "screens/menu_input.h"
#include "sound/sound.h"

FrontEndState frontEnd;

void ResetFrontEndState() { frontEnd = FrontEndState{}; }

void ReadPointer() { frontEnd.PointerPos = GetPointerPos(); }

bool PointerInside(const SpriteRect& rect) {
    const ::PointerPos& p = frontEnd.PointerPos;
    return rect.left < p.x && p.x < rect.right && rect.top < p.y && p.y < rect.bottom;
}

void HandleControl(const SpriteRect& rect, std::uint8_t& hoverArmed,
                   void (*highlight)(const SpriteRect&), PressMode mode, void (*action)()) {
    // A lifted finger rests over no control, so its next tap may act wherever it lands.
    if (!KeyDown(VK_LBUTTON) && PointerPressedByTouch()) frontEnd.pressLatch = 0;
    if (!PointerInside(rect)) {
        hoverArmed = 1;
        return;
    }
    if (hoverArmed) {
        PlayEffect(SoundId::Hover, ProgramRandom());
        hoverArmed = 0;
    }
    if (highlight) highlight(rect);
    const bool pressed = KeyDown(VK_LBUTTON);
    if (mode == PressMode::Repeating) {
        if (pressed) ClickControl(action);
        return;
    }
    if (!pressed) {
        frontEnd.pressLatch = 0;
    } else if (!frontEnd.pressLatch) {
        ClickControl(action);
        frontEnd.pressLatch = 1;
    }
}

void ClickControl(void (*action)()) {
    PlayEffect(SoundId::Click, ProgramRandom());
    action();
}

bool StepFocus(int& focus, int count, bool rightSteps) {
    const bool forward =
        MenuKeyPressed(MenuKey::Down) || (rightSteps && MenuKeyPressed(MenuKey::Right));
    const bool backward =
        MenuKeyPressed(MenuKey::Up) || (rightSteps && MenuKeyPressed(MenuKey::Left));
    if (!forward && !backward) return false;
    if (focus == NO_FOCUS) {
        focus = 0;
    } else if (forward == backward) {
        return false;
    } else {
        focus = (focus + (forward ? 1 : count - 1)) % count;
    }
    PlayEffect(SoundId::Hover, ProgramRandom());
    return true;
}
