#pragma once

#include "support/drawing_fixture.h"

// The front-end screens on the test pictures, driven frame by frame with a scripted pointer and
// keys and the manual clock. Every background has a plain colour of its own and the menu's
// highlight picture is white.
class FrontEndTest : public DrawingTest {
protected:
    void SetUp() override;

    // The current screen's frame, then the clock moves on by one frame period.
    void Frame();
    void Frames(int count);

    // As the frame loop runs them: the pending events, then the whole frame with its hotkeys,
    // then the clock moves on by one frame period.
    static void TakeEvents();
    static void Step(int frames = 1);
    // Down for one step, up for the next.
    static void TapKey(int vk);

    void PointAt(int x, int y);
    void Press();
    void Release();

    // The number in the six-cell field at (x, y) of the captured picture; whatever shows
    // through its leading blanks is passed over. -1 when a digit is followed by something else.
    int NumberAt(int x, int y) const;
};
