#include "platform/sim/SimEventPoster.h"
#include "platform/sim/SimEventTap.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace glidra {
namespace {

using Type = InputEvent::Type;

TEST(SimEventTapTest, EventsRunThroughTheTapsNewestFirstAndMayBeChangedOrSwallowed) {
    sim::SimEventTap taps;
    QStringList seen;
    auto older = taps.install(EventTap::maskOf({Type::keyDown}),
                              [&](const InputEvent& e) -> std::optional<InputEvent> {
                                  seen.append(QStringLiteral("older %1").arg(e.flags));
                                  if (e.keyCode == 53) return std::nullopt;
                                  return e;
                              },
                              {});
    std::unique_ptr<EventTap::Installation> newer;
    newer = taps.install(EventTap::maskOf({Type::keyDown, Type::keyUp}),
                         [&](const InputEvent& e) -> std::optional<InputEvent> {
                             seen.append(QStringLiteral("newer %1").arg(e.flags));
                             // A tap may remove itself while it handles an event.
                             if (e.type == Type::keyUp) newer.reset();
                             InputEvent changed = e;
                             changed.flags = 7;
                             return changed;
                         },
                         {});
    ASSERT_TRUE(older && newer);

    EXPECT_EQ(taps.deliver(sim::SimEventTap::userKey(Type::keyDown, 0))->flags, 7u);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("newer 0"), QStringLiteral("older 7")}));
    EXPECT_FALSE(taps.deliver(sim::SimEventTap::userKey(Type::keyDown, 53)));
    EXPECT_EQ(taps.deliver(sim::SimEventTap::userKey(Type::keyUp, 0))->flags, 7u);
    EXPECT_EQ(newer, nullptr);
    EXPECT_EQ(taps.installedCount(), 1);
    EXPECT_EQ(taps.delivered().size(), 2u);

    // A mouse event is outside both masks and passes untouched.
    EXPECT_TRUE(taps.deliver(sim::SimEventTap::userMouse(Type::leftMouseUp)));
}

TEST(SimEventTapTest, DisabledTapsSeeNothingUntilEnabledAndFailuresComeOnDemand) {
    sim::SimEventTap taps;
    int events = 0;
    std::vector<EventTap::DisabledReason> disabled;
    auto tap = taps.install(
        EventTap::maskOf({Type::keyDown}),
        [&](const InputEvent&) -> std::optional<InputEvent> {
            ++events;
            return std::nullopt;
        },
        [&](EventTap::DisabledReason reason) { disabled.push_back(reason); });
    ASSERT_TRUE(tap && tap->isEnabled());

    taps.disableAll(EventTap::DisabledReason::userInput);
    EXPECT_EQ(disabled, std::vector{EventTap::DisabledReason::userInput});
    EXPECT_FALSE(tap->isEnabled());
    EXPECT_TRUE(taps.deliver(sim::SimEventTap::userKey(Type::keyDown, 1)));
    tap->setEnabled(true);
    EXPECT_FALSE(taps.deliver(sim::SimEventTap::userKey(Type::keyDown, 1)));
    EXPECT_EQ(events, 1);

    taps.setRefusesToEnable(true);
    EXPECT_FALSE(taps.install(EventTap::maskOf({Type::keyUp}), {}, {})->isEnabled());
    taps.setInstallFails(true);
    EXPECT_EQ(taps.install(EventTap::maskOf({Type::keyUp}), {}, {}), nullptr);
    EXPECT_EQ(taps.installCount(), 2);
}

TEST(SimEventTapTest, PostedEventsPassThroughTheTapsWhenRouted) {
    sim::SimEventTap taps;
    sim::SimEventPoster poster;
    auto tap = taps.install(EventTap::maskOf({Type::scrollWheel}),
                            [](const InputEvent&) { return std::optional<InputEvent>(); }, {});
    const auto scroll = poster.makeScrollWheelEvent(120, 0);
    ASSERT_TRUE(scroll);
    EXPECT_EQ(scroll->origin, EventOrigin::ownProcess);
    poster.post(*scroll);
    EXPECT_TRUE(taps.delivered().empty());

    poster.routeThrough(&taps);
    tap.reset();
    poster.post(*scroll);
    EXPECT_EQ(taps.delivered(), std::vector{*scroll});
    EXPECT_EQ(poster.posted().size(), 2u);
}

}  // namespace
}  // namespace glidra
