#include "platform/controllers.h"

#include <gtest/gtest.h>

#include "platform/controllers_testing.h"
#include "platform/window.h"

namespace {

void TakeEvents() {
    while (PumpOneEvent()) {
    }
}

class ControllersTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenControllers();
        TakeEvents();
        TakeControllerUnplugged();
    }
    void TearDown() override { CloseControllers(); }
};

// Two controllers at once: either one's buttons count, the left stick leans only past its dead
// zone and only along the axis pushed further, and unplugging one is reported once while the
// other goes on.
TEST_F(ControllersTest, SeveralControllersPluggedReadAndUnplugged) {
    const int first = PlugVirtualController();
    ASSERT_GE(first, 0);
    EXPECT_EQ(OpenControllerCount(), 0) << "opened only once the pump takes its arrival";
    TakeEvents();
    const int second = PlugVirtualController();
    TakeEvents();
    ASSERT_EQ(OpenControllerCount(), 2);

    SetVirtualInput(first, PadInput::A, true);
    SetVirtualInput(second, PadInput::Start, true);
    EXPECT_TRUE(PadHeld(PadInput::A));
    EXPECT_TRUE(PadHeld(PadInput::Start));
    EXPECT_FALSE(PadHeld(PadInput::B));
    EXPECT_FALSE(PadHeld(PadInput::Back));
    SetVirtualInput(first, PadInput::A, false);
    SetVirtualInput(second, PadInput::Start, false);
    EXPECT_FALSE(PadHeld(PadInput::A));

    SetVirtualInput(second, PadInput::Left, true);
    EXPECT_TRUE(PadHeld(PadInput::Left));
    EXPECT_FALSE(PadHeld(PadInput::Right));
    SetVirtualInput(second, PadInput::Left, false);

    // A resting, slightly off-centre thumb moves nothing.
    SetVirtualStick(first, 9000, -9000);
    for (PadInput d : {PadInput::Left, PadInput::Right, PadInput::Up, PadInput::Down}) {
        EXPECT_FALSE(PadHeld(d));
    }
    // A push mostly to the right is right only, never also up.
    SetVirtualStick(first, 30000, -20000);
    EXPECT_TRUE(PadHeld(PadInput::Right));
    EXPECT_FALSE(PadHeld(PadInput::Up));
    // Easing off a little keeps the lean; back near the middle it ends.
    SetVirtualStick(first, 14000, 0);
    EXPECT_TRUE(PadHeld(PadInput::Right));
    SetVirtualStick(first, 8000, 0);
    EXPECT_FALSE(PadHeld(PadInput::Right));
    SetVirtualStick(first, 0, 32767);
    EXPECT_TRUE(PadHeld(PadInput::Down));
    SetVirtualStick(first, 0, -32768);
    EXPECT_TRUE(PadHeld(PadInput::Up));
    EXPECT_FALSE(PadHeld(PadInput::Down));

    EXPECT_FALSE(TakeControllerUnplugged());
    UnplugVirtualController(first);
    TakeEvents();
    EXPECT_EQ(OpenControllerCount(), 1);
    EXPECT_TRUE(TakeControllerUnplugged());
    EXPECT_FALSE(TakeControllerUnplugged()) << "reported once";
    EXPECT_FALSE(PadHeld(PadInput::Up)) << "the unplugged stick no longer counts";
    SetVirtualInput(second, PadInput::B, true);
    EXPECT_TRUE(PadHeld(PadInput::B));
}

}  // namespace
