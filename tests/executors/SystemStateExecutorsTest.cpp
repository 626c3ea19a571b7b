// The system-state executors as the action executors own them, reached
// through what the trackpad controller asks of the executors.

#include "executors/ExecutorFixture.h"
#include "notices/AccessNotices.h"

namespace glidra::test {
namespace {

class SystemStateExecutorsTest : public ExecutorTest {};

TEST_F(SystemStateExecutorsTest, SwitchingControlOffUnlocksTheKeyboard) {
    executors->keyboardLock().startCleaningMode();
    EXPECT_TRUE(executors->isKeyboardLocked());
    EXPECT_EQ(userKey(Type::keyDown, 0), std::nullopt);

    c.toggleEnabled();
    EXPECT_FALSE(executors->isKeyboardLocked());
    EXPECT_TRUE(userKey(Type::keyDown, 0).has_value());
    EXPECT_TRUE(screenCovers.openCovers().empty());

    executors->keyboardLock().lock(false);
    executors->stopKeyboardLock();
    EXPECT_FALSE(executors->keyboardLock().isLocked());
}

TEST_F(SystemStateExecutorsTest, TheBacklightStepperPostsItsKeysAndForgetsItsCarryOnAGestureReset) {
    KeyboardBacklightStepper& stepper = executors->keyboardBacklightStepper();
    clearEvents();
    EXPECT_EQ(stepper.adjust(0.125f),
              (HUDNotice{QStringLiteral("键盘背光调亮"), QStringLiteral("light.max"), HUDNotice::Kind::success}));
    ASSERT_EQ(poster.posted().size(), 4u) << "two presses, each down and up";
    for (const InputEvent& event : poster.posted()) {
        EXPECT_EQ(event.type, Type::systemDefined);
        EXPECT_EQ(event.data1 >> 16, keyType(ShortcutMediaKey::keyboardBrightnessUp));
    }

    EXPECT_EQ(stepper.adjust(0.05f), std::nullopt);
    EXPECT_NE(stepper.residual(), 0.0f);
    c.resetGestureState();
    EXPECT_EQ(stepper.residual(), 0.0f);

    h.accessibilityTrust.setTrusted(false);
    EXPECT_EQ(stepper.adjust(0.5f), inputAccessRequiredNotice());
}

}  // namespace
}  // namespace glidra::test
