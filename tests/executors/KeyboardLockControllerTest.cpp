#include "executors/KeyboardLockController.h"
#include "platform/sim/SimEventTap.h"
#include "platform/sim/SimKeyboardBacklight.h"
#include "platform/sim/SimScreenCovers.h"
#include "platform/sim/SimSystemEvents.h"
#include "support/NoticePrinter.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <functional>

namespace glidra {
namespace {

using Kind = HUDNotice::Kind;
using Type = InputEvent::Type;
using sim::SimEventTap;

const HUDNotice kLocked = test::notice("键盘已锁定", "lock.fill", Kind::success);
const HUDNotice kUnlocked = test::notice("键盘已解锁", "lock.open", Kind::success);
const HUDNotice kCleaning = test::notice("清洁模式已开启，30 秒内自动恢复", "sparkles", Kind::success);
const HUDNotice kRefused = test::notice("无法锁定键盘，请检查输入设备权限。", "lock", Kind::error);

constexpr std::uint64_t kSecond = 1'000'000'000;

struct KeyboardLockControllerTest : ::testing::Test {
    test::SimTime time;
    SimEventTap tap;
    sim::SimSystemEvents systemEvents;
    sim::SimScreenCovers covers;
    sim::SimKeyboardBacklight backlight;
    std::unique_ptr<KeyboardLockController> keyboardLock = std::make_unique<KeyboardLockController>(
        KeyboardLockController::Environment{tap, time.scheduler, systemEvents, covers, backlight});

    void SetUp() override {
        covers.setScreens(2);
        backlight.addKeyboard(1, {0.5f, false});
    }

    bool passes(const InputEvent& event) { return tap.deliver(event).has_value(); }
    bool keyPasses(Type type = Type::keyDown, std::uint16_t key = 0) { return passes(SimEventTap::userKey(type, key)); }
    bool escape(std::uint64_t timestamp, bool repeated = false) {
        InputEvent event = SimEventTap::userKey(Type::keyDown, KeyboardLockController::kEscapeKeyCode);
        event.timestamp = timestamp;
        event.isAutoRepeat = repeated;
        return passes(event);
    }
    // Everything that cleaning holds is back as it was.
    void expectReleased() {
        EXPECT_FALSE(keyboardLock->isLocked());
        EXPECT_FALSE(keyboardLock->isCleaning());
        EXPECT_EQ(tap.installedCount(), 0);
        EXPECT_TRUE(keyPasses());
        EXPECT_TRUE(covers.openCovers().empty());
        EXPECT_FALSE(covers.isPointerHidden());
        EXPECT_EQ(backlight.keyboard(1).level, 0.5f);
        EXPECT_EQ(time.scheduler.pendingCount(), 0u);
    }
};

TEST_F(KeyboardLockControllerTest, APlainLockSwallowsKeysOnlyAndHasNoKeyboardExit) {
    QSignalSpy locked(keyboardLock.get(), &KeyboardLockController::isLockedChanged);
    EXPECT_EQ(keyboardLock->toggleKeyboardLock(), kLocked);
    EXPECT_TRUE(keyboardLock->isLocked());
    EXPECT_FALSE(keyboardLock->isCleaning());
    EXPECT_EQ(tap.installedMasks(), std::vector<EventTap::EventMask>{KeyboardLockController::kKeyboardMask});

    for (const Type type : {Type::keyDown, Type::keyUp, Type::flagsChanged}) EXPECT_FALSE(keyPasses(type, 0));
    InputEvent synthesised = SimEventTap::userKey(Type::keyDown, 0);
    synthesised.origin = EventOrigin::ownProcess;
    EXPECT_FALSE(passes(synthesised)) << "our own key events are swallowed too";
    for (const Type type : {Type::leftMouseDown, Type::mouseMoved, Type::scrollWheel, Type::rightMouseDragged}) {
        EXPECT_TRUE(passes(SimEventTap::userMouse(type)));
    }
    EXPECT_FALSE(escape(kSecond));
    EXPECT_FALSE(escape(kSecond + 1));
    EXPECT_TRUE(keyboardLock->isLocked()) << "Escape does not unlock a plain lock";
    EXPECT_TRUE(covers.openCovers().empty());

    EXPECT_EQ(keyboardLock->toggleKeyboardLock(), kUnlocked);
    expectReleased();
    EXPECT_EQ(locked.count(), 2);
}

TEST_F(KeyboardLockControllerTest, CleaningSwallowsEverythingCoversTheScreensAndDarkensTheKeyboard) {
    EXPECT_EQ(keyboardLock->startCleaningMode(), kCleaning);
    EXPECT_TRUE(keyboardLock->isLocked());
    EXPECT_TRUE(keyboardLock->isCleaning());
    EXPECT_EQ(tap.installedMasks(), std::vector<EventTap::EventMask>{KeyboardLockController::kCleaningMask});
    for (const Type type : {Type::leftMouseDown, Type::leftMouseUp, Type::rightMouseDown, Type::rightMouseUp,
                            Type::otherMouseDown, Type::otherMouseUp, Type::leftMouseDragged, Type::rightMouseDragged,
                            Type::otherMouseDragged, Type::mouseMoved, Type::scrollWheel}) {
        EXPECT_FALSE(passes(SimEventTap::userMouse(type)));
    }
    EXPECT_FALSE(keyPasses(Type::flagsChanged));
    EXPECT_EQ(covers.openCovers().size(), 2u);
    EXPECT_TRUE(covers.isPointerHidden());
    EXPECT_EQ(backlight.keyboard(1).level, 0.0f);

    time.advanceBy(KeyboardLockController::kCleaningDuration - 0.1);
    EXPECT_TRUE(keyboardLock->isCleaning());
    time.advanceBy(0.1);
    expectReleased();
}

TEST_F(KeyboardLockControllerTest, TwoEscapesWithinHalfASecondEndTheCleaning) {
    struct Press {
        std::uint64_t at;
        bool repeated;
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        bool ends;
    };
    const Case cases[] = {
        {"one press", {{kSecond, false}}, false},
        {"second within 0.5 s", {{kSecond, false}, {kSecond + kSecond / 4, false}}, true},
        {"second at exactly 0.5 s", {{kSecond, false}, {kSecond + kSecond / 2, false}}, true},
        {"second after 0.6 s", {{kSecond, false}, {kSecond + kSecond * 6 / 10, false}}, false},
        {"after 0.6 s it is the new first", {{kSecond, false}, {2 * kSecond, false}, {2 * kSecond + 100, false}}, true},
        {"held key repeats", {{kSecond, false}, {kSecond + 100, true}, {kSecond + 200, true}}, false},
        {"time running backwards", {{2 * kSecond, false}, {kSecond, false}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keyboardLock->stop();
        ASSERT_EQ(keyboardLock->startCleaningMode(), kCleaning);
        for (const Press& press : c.presses) EXPECT_FALSE(escape(press.at, press.repeated)) << "Escape is swallowed";
        EXPECT_EQ(keyboardLock->isCleaning(), !c.ends);
        EXPECT_EQ(keyboardLock->isLocked(), !c.ends);
    }
}

TEST_F(KeyboardLockControllerTest, ACleaningEndedEarlyLeavesNoTimerBehind) {
    keyboardLock->startCleaningMode();
    time.advanceBy(10);
    escape(kSecond);
    escape(kSecond + 1);
    EXPECT_FALSE(keyboardLock->isLocked());
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);

    keyboardLock->lock(false);
    time.advanceBy(25);
    EXPECT_TRUE(keyboardLock->isLocked()) << "not ended 30 s after the earlier start";
}

TEST_F(KeyboardLockControllerTest, CleaningReplacesAPlainLockAndRepeatsItsNoticeWhileRunning) {
    keyboardLock->lock(false);
    EXPECT_EQ(keyboardLock->startCleaningMode(), kCleaning);
    EXPECT_TRUE(keyboardLock->isCleaning());
    EXPECT_EQ(tap.installedMasks(), std::vector<EventTap::EventMask>{KeyboardLockController::kCleaningMask});

    time.advanceBy(20);
    EXPECT_EQ(keyboardLock->startCleaningMode(), kCleaning);
    EXPECT_EQ(tap.installCount(), 2) << "nothing is installed again";
    time.advanceBy(10);
    EXPECT_FALSE(keyboardLock->isLocked()) << "the first start's 30 s still count";
}

TEST_F(KeyboardLockControllerTest, ARefusedTapLeavesTheKeyboardUnlocked) {
    tap.setInstallFails(true);
    EXPECT_EQ(keyboardLock->lock(false), kRefused);
    EXPECT_EQ(keyboardLock->startCleaningMode(), kRefused);
    expectReleased();

    tap.setInstallFails(false);
    tap.setRefusesToEnable(true);
    EXPECT_EQ(keyboardLock->toggleKeyboardLock(), kRefused);
    EXPECT_EQ(keyboardLock->startCleaningMode(), kRefused);
    expectReleased();
}

TEST_F(KeyboardLockControllerTest, EveryWayOutGivesTheKeyboardBack) {
    struct Case {
        const char* name;
        std::function<void(KeyboardLockControllerTest&)> leave;
    };
    const Case cases[] = {
        {"sleep", [](KeyboardLockControllerTest& t) { t.systemEvents.sleep(); }},
        {"another session", [](KeyboardLockControllerTest& t) { t.systemEvents.resignSession(); }},
        {"the program ends", [](KeyboardLockControllerTest& t) { t.systemEvents.terminate(); }},
        {"tap timed out", [](KeyboardLockControllerTest& t) { t.tap.disableAll(EventTap::DisabledReason::timeout); }},
        {"tap disabled by user input",
         [](KeyboardLockControllerTest& t) { t.tap.disableAll(EventTap::DisabledReason::userInput); }},
        {"unlock", [](KeyboardLockControllerTest& t) { t.keyboardLock->unlock(); }},
        {"the controller goes", [](KeyboardLockControllerTest& t) { t.keyboardLock.reset(); }},
    };
    for (const bool cleaning : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.name << (cleaning ? ", cleaning" : ", plain lock"));
            keyboardLock = std::make_unique<KeyboardLockController>(
                KeyboardLockController::Environment{tap, time.scheduler, systemEvents, covers, backlight});
            keyboardLock->lock(cleaning);
            ASSERT_FALSE(keyPasses());
            c.leave(*this);
            EXPECT_TRUE(keyPasses());
            EXPECT_EQ(tap.installedCount(), 0);
            EXPECT_TRUE(covers.openCovers().empty());
            EXPECT_FALSE(covers.isPointerHidden());
            EXPECT_EQ(backlight.keyboard(1).level, 0.5f);
            if (keyboardLock) {
                EXPECT_FALSE(keyboardLock->isLocked());
            }
        }
    }
}

TEST_F(KeyboardLockControllerTest, ScreenChangesRebuildTheCoversOnlyWhileCleaning) {
    keyboardLock->lock(false);
    covers.setScreens(3);
    EXPECT_TRUE(covers.openCovers().empty());

    keyboardLock->startCleaningMode();
    EXPECT_EQ(covers.openCovers().size(), 3u);
    covers.setScreens(1);
    EXPECT_EQ(covers.openCovers().size(), 1u);
    EXPECT_EQ(covers.hintCount(), 1);
}

}  // namespace
}  // namespace glidra
