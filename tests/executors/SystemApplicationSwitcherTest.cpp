// The application switcher's session: opening, stepping, every way out, and
// the user's keys and clicks through its tap, on the manual clock.

#include "executors/ExecutorFixture.h"
#include "notices/AccessNotices.h"

#include <QSignalSpy>

namespace glidra::test {
namespace {

const HUDNotice kHint{QStringLiteral("点击应用或方向键选择 · 回车切换 · Esc 取消"), QStringLiteral("app.switcher"),
                      HUDNotice::Kind::information};

// What the switcher posts when it closes: dismissed, then Command let go.
const std::vector<PostedKey> kCancelled{
    {Type::keyDown, 53, command},
    {Type::keyUp, 53, command},
    {Type::keyUp, 55, 0},
};
const std::vector<PostedKey> kChosen{{Type::keyUp, 55, 0}};
const std::vector<PostedKey> kTabPress{{Type::keyDown, 48, command}, {Type::keyUp, 48, command}};

using SystemApplicationSwitcherTest = ExecutorTest;

TEST_F(SystemApplicationSwitcherTest, OpeningHoldsCommandTabsAfterAMomentAndShowsTheHint) {
    EXPECT_EQ(switcher().begin(), kHint);

    EXPECT_TRUE(switcher().isOpen());
    EXPECT_TRUE(c.isShowingApplicationSwitcher());
    EXPECT_EQ(taps.installedMasks(), std::vector{SystemApplicationSwitcher::kTapMask});
    EXPECT_EQ(keysOf(poster.posted()), (std::vector<PostedKey>{{Type::keyDown, 55, command}}));

    h.time.advanceTo(0.099);
    EXPECT_EQ(poster.posted().size(), 1u);
    h.time.advanceTo(0.1);
    auto expected = std::vector<PostedKey>{{Type::keyDown, 55, command}};
    expected.insert(expected.end(), kTabPress.begin(), kTabPress.end());
    EXPECT_EQ(keysOf(poster.posted()), expected);
    // Every key is marked as the switcher's and passes its own tap unchanged.
    for (const InputEvent& event : poster.posted()) {
        EXPECT_EQ(event.userData, kApplicationSwitcherEventMarker);
        EXPECT_EQ(event.origin, EventOrigin::ownProcess);
    }
    EXPECT_EQ(keysOf(taps.delivered()), expected);

    // Opening resets the gesture state, which drops the notice of the action
    // that opened it; the switcher shows its hint itself.
    EXPECT_EQ(h.hud->notices, std::vector{kHint});
    EXPECT_EQ(c.status(), kHint.text);
}

TEST_F(SystemApplicationSwitcherTest, ARefusedOpeningPostsNothingAndChangesNothing) {
    struct Case {
        const char* name;
        bool trusted;
        bool tapFails;
        HUDNotice notice;
    };
    const Case cases[] = {
        {"not trusted", false, false, inputAccessRequiredNotice()},
        {"no tap", true, true,
         HUDNotice{QStringLiteral("无法打开系统应用切换器，请检查输入设备权限"), QStringLiteral("lock.fill"),
                   HUDNotice::Kind::error}},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.h.accessibilityTrust.setTrusted(tc.trusted);
        rig.taps.setInstallFails(tc.tapFails);
        const quint64 epoch = rig.c.actionEpoch();

        EXPECT_EQ(rig.switcher().begin(), tc.notice) << tc.name;
        rig.h.time.advanceTo(30);
        EXPECT_FALSE(rig.switcher().isOpen()) << tc.name;
        EXPECT_FALSE(rig.c.isShowingApplicationSwitcher()) << tc.name;
        EXPECT_EQ(rig.c.actionEpoch(), epoch) << tc.name;
        EXPECT_TRUE(rig.poster.posted().empty()) << tc.name;
        EXPECT_EQ(rig.taps.installedCount(), 0) << tc.name;
    }
    EXPECT_EQ(inputAccessRequiredNotice(), (HUDNotice{QStringLiteral("请在通用设置中授权访问输入设备"),
                                                      QStringLiteral("lock.fill"), HUDNotice::Kind::error}));
}

TEST_F(SystemApplicationSwitcherTest, ASecondBeginStepsTheOpenSessionWithoutRestartingItsTimeOut) {
    switcher().begin();
    h.time.advanceTo(5);
    clearEvents();

    EXPECT_EQ(switcher().begin(), kHint);
    EXPECT_EQ(keysOf(poster.posted()), kTabPress);
    EXPECT_EQ(taps.installCount(), 1);

    // Trust is asked first, also while a session is open.
    h.accessibilityTrust.setTrusted(false);
    EXPECT_EQ(switcher().begin(), inputAccessRequiredNotice());
    EXPECT_EQ(keysOf(poster.posted()), kTabPress);

    h.time.advanceTo(19.99);
    EXPECT_TRUE(switcher().isOpen());
    clearEvents();
    h.time.advanceTo(20);
    EXPECT_FALSE(switcher().isOpen());
    EXPECT_EQ(keysOf(poster.posted()), kCancelled);
}

TEST_F(SystemApplicationSwitcherTest, TheUsersKeysAndClicksSteerTheSession) {
    struct Case {
        const char* name;
        InputEvent event;
        std::optional<PostedKey> passed;  // nothing: swallowed
        std::vector<PostedKey> posted;    // what the switcher posted in reply
        bool open;
    };
    const auto key = [](Type type, std::uint16_t code, std::uint64_t flags = 0) {
        return sim::SimEventTap::userKey(type, code, flags);
    };
    InputEvent ownKey = key(Type::keyDown, 0);
    ownKey.userData = kApplicationSwitcherEventMarker;
    const Case cases[] = {
        {"bare Tab moves on", key(Type::keyDown, 48), PostedKey{Type::keyDown, 48, command}, {}, true},
        {"Tab up", key(Type::keyUp, 48), PostedKey{Type::keyUp, 48, command}, {}, true},
        {"left arrow", key(Type::keyDown, 123, shift), PostedKey{Type::keyDown, 123, shift | command}, {}, true},
        {"right arrow up", key(Type::keyUp, 124), PostedKey{Type::keyUp, 124, command}, {}, true},
        {"Return chooses", key(Type::keyDown, 36), std::nullopt, kChosen, false},
        {"keypad Enter chooses", key(Type::keyDown, 76), std::nullopt, kChosen, false},
        {"Escape dismisses", key(Type::keyDown, 53), std::nullopt, kCancelled, false},
        {"Return up passes", key(Type::keyUp, 36), PostedKey{Type::keyUp, 36, 0}, {}, true},
        {"A is typed as typed", key(Type::keyDown, 0, command | shift), PostedKey{Type::keyDown, 0, shift}, kCancelled,
         false},
        {"A up passes", key(Type::keyUp, 0, command), PostedKey{Type::keyUp, 0, command}, {}, true},
        {"a modifier of the user's", key(Type::flagsChanged, 56, shift), PostedKey{Type::flagsChanged, 56, shift},
         kCancelled, false},
        {"the switcher's own key", ownKey, PostedKey{Type::keyDown, 0, 0}, {}, true},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.switcher().begin();
        rig.h.time.advanceTo(1);
        rig.clearEvents();

        const auto passed = rig.taps.deliver(tc.event);
        EXPECT_EQ(passed ? std::optional(PostedKey{passed->type, passed->keyCode, passed->flags}) : std::nullopt,
                  tc.passed)
            << tc.name;
        EXPECT_EQ(keysOf(rig.poster.posted()), tc.posted) << tc.name;
        EXPECT_EQ(rig.switcher().isOpen(), tc.open) << tc.name;
        EXPECT_EQ(rig.c.isShowingApplicationSwitcher(), tc.open) << tc.name;
    }
}

TEST_F(SystemApplicationSwitcherTest, AClickChoosesItsApplicationAMomentAfterTheButtonRises) {
    for (Type up : {Type::leftMouseUp, Type::rightMouseUp}) {
        ExecutorRig rig;
        rig.switcher().begin();
        rig.h.time.advanceTo(1);
        rig.clearEvents();

        ASSERT_TRUE(rig.userMouse(up, QPointF(300, 200)));
        rig.h.time.advanceTo(1.079);
        EXPECT_TRUE(rig.switcher().isOpen());
        rig.h.time.advanceTo(1.08);
        EXPECT_FALSE(rig.switcher().isOpen());
        EXPECT_EQ(keysOf(rig.poster.posted()), kChosen);
    }
    // Presses and movements are not the switcher's business.
    switcher().begin();
    EXPECT_TRUE(userMouse(Type::leftMouseDown));
    EXPECT_TRUE(userMouse(Type::mouseMoved));
    h.time.advanceTo(1);
    EXPECT_TRUE(switcher().isOpen());
}

TEST_F(SystemApplicationSwitcherTest, EveryOtherWayOutDismissesTheSwitcherAndLetsCommandGo) {
    struct Case {
        const char* name;
        std::function<void(ExecutorRig&)> leave;
    };
    const Case cases[] = {
        {"the tap timed out", [](ExecutorRig& r) { r.taps.disableAll(EventTap::DisabledReason::timeout); }},
        {"the tap was disabled by input",
         [](ExecutorRig& r) { r.taps.disableAll(EventTap::DisabledReason::userInput); }},
        {"20 seconds", [](ExecutorRig& r) { r.h.time.advanceTo(20); }},
        {"the program terminates", [](ExecutorRig& r) { r.systemEvents.terminate(); }},
        {"listening stops", [](ExecutorRig& r) { r.c.stopListening(); }},
        {"another action runs", [](ExecutorRig& r) { r.executors->endApplicationSwitcher(true); }},
    };
    for (const auto& tc : cases) {
        ExecutorRig rig;
        rig.switcher().begin();
        rig.h.time.advanceTo(1);
        rig.clearEvents();

        tc.leave(rig);
        EXPECT_FALSE(rig.switcher().isOpen()) << tc.name;
        EXPECT_FALSE(rig.c.isShowingApplicationSwitcher()) << tc.name;
        EXPECT_EQ(keysOf(rig.poster.posted()), kCancelled) << tc.name;
        EXPECT_EQ(rig.taps.installedCount(), 0) << tc.name;
        // Nothing of the session is left to run.
        rig.h.time.advanceTo(60);
        EXPECT_EQ(keysOf(rig.poster.posted()), kCancelled) << tc.name;
    }
}

TEST_F(SystemApplicationSwitcherTest, EndingAClosedSwitcherDoesNothing) {
    QSignalSpy flag(&c, &TrackpadController::isShowingApplicationSwitcherChanged);
    const quint64 epoch = c.actionEpoch();
    switcher().end(true);
    switcher().end(false);
    systemEvents.terminate();
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_EQ(flag.count(), 0);
    EXPECT_EQ(c.actionEpoch(), epoch);
}

TEST_F(SystemApplicationSwitcherTest, DelayedWorkOfAnEarlierSessionLeavesTheNextOneAlone) {
    // The first Tab of a session that closed at once never comes.
    switcher().begin();
    h.time.advanceTo(0.05);
    switcher().end(true);
    h.time.advanceTo(0.06);
    switcher().begin();
    clearEvents();
    h.time.advanceTo(0.159);
    EXPECT_TRUE(poster.posted().empty());
    h.time.advanceTo(0.16);
    EXPECT_EQ(keysOf(poster.posted()), kTabPress);

    // A click's delayed choice belongs to its own session.
    userMouse(Type::leftMouseUp);
    EXPECT_FALSE(userKey(Type::keyDown, 53));
    switcher().begin();
    h.time.advanceTo(1);
    EXPECT_TRUE(switcher().isOpen());
}

TEST_F(SystemApplicationSwitcherTest, KeysThatCannotBeMadeAreSkippedAndTheSessionGoesOn) {
    poster.failEventCreation(0);
    EXPECT_EQ(switcher().begin(), kHint);
    EXPECT_TRUE(poster.posted().empty());
    h.time.advanceTo(0.1);
    EXPECT_EQ(keysOf(poster.posted()), kTabPress);
    EXPECT_TRUE(switcher().isOpen());

    // Only the Escape key-down fails: the rest still goes out.
    clearEvents();
    poster.failEventCreation(0);
    switcher().end(true);
    EXPECT_EQ(keysOf(poster.posted()), (std::vector<PostedKey>{{Type::keyUp, 53, command}, {Type::keyUp, 55, 0}}));
}

}  // namespace
}  // namespace glidra::test
