#include "screens/menu_controls.h"

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
    if (!PointerInside(rect)) {
        hoverArmed = 1;
        return;
    }
    if (hoverArmed) {
        PlayEffect(SoundId::Hover);
        hoverArmed = 0;
    }
    highlight(rect);
    const bool pressed = KeyDown(VK_LBUTTON);
    if (mode == PressMode::Repeating) {
        if (pressed) {
            PlayEffect(SoundId::Click);
            action();
        }
        return;
    }
    if (!pressed) {
        frontEnd.pressLatch = 0;
    } else if (!frontEnd.pressLatch) {
        // The click starts before the action, so it sounds with the settings from before it.
        PlayEffect(SoundId::Click);
        action();
        frontEnd.pressLatch = 1;
    }
}
