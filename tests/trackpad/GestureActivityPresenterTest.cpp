#include "platform/sim/ManualClock.h"
#include "support/QtPrinters.h"
#include "trackpad/GestureActivityPresenter.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

#include <limits>

namespace glidra {
namespace {

std::vector<QString> ids(const GestureActivityPresenter& presenter) {
    std::vector<QString> list;
    for (const auto& point : presenter.points()) list.push_back(point.id);
    return list;
}

class GestureActivityPresenterTest : public ::testing::Test {
protected:
    sim::ManualClock clock{100.0};
    GestureActivityPresenter presenter{clock};
};

TEST_F(GestureActivityPresenterTest, DevicesAreListedInAscendingOrderEachInFrameOrder) {
    presenter.update(20, {TouchPoint{5, 0.1f, 0.2f, 30}, TouchPoint{2, 0.3f, 0.4f, 0}}, std::nullopt);
    clock.set(100.1);
    presenter.update(7, {TouchPoint{-1, 0.5f, 0.6f, 12}}, std::nullopt);
    EXPECT_EQ(ids(presenter),
              (std::vector<QString>{QStringLiteral("7:-1"), QStringLiteral("20:5"), QStringLiteral("20:2")}));
    EXPECT_EQ(presenter.points()[1], (PracticeContactPoint{QStringLiteral("20:5"), 0.1f, 0.2f, 30}));
}

TEST_F(GestureActivityPresenterTest, RestingFingersArePublishedAtMostEveryFiftyMilliseconds) {
    QSignalSpy published(&presenter, &GestureActivityPresenter::pointsChanged);
    int changes = 0;
    double lastChange = -1;
    for (int i = 0; i <= 20; ++i) {
        clock.set(100.0 + 0.01 * i);
        presenter.update(1, {TouchPoint{1, 0.3f + 0.01f * float(i), 0.5f, 0}}, std::nullopt);
        if (published.count() > changes) {
            if (lastChange >= 0) {
                EXPECT_GE(clock.uptime() - lastChange, 0.05 - 1e-9);
            }
            lastChange = clock.uptime();
            changes = int(published.count());
        }
    }
    EXPECT_LE(changes, 5);
    EXPECT_GE(changes, 4);
    // A later frame of another device publishes the latest contacts of both.
    presenter.update(2, {TouchPoint{9, 0.9f, 0.9f, 0}}, std::nullopt);
    clock.set(clock.uptime() + 0.05);
    presenter.update(2, {TouchPoint{9, 0.8f, 0.9f, 0}}, std::nullopt);
    ASSERT_EQ(presenter.points().size(), 2u);
    EXPECT_EQ(presenter.points()[0].x, 0.3f + 0.01f * float(20));
    EXPECT_EQ(presenter.points()[1].x, 0.8f);
}

TEST_F(GestureActivityPresenterTest, ALiftIsShownAtOnceEvenRightAfterAPublication) {
    presenter.update(1, {TouchPoint{1, 0.3f, 0.5f, 0}}, std::nullopt);
    clock.set(100.01);
    presenter.update(1, {}, std::nullopt);
    EXPECT_TRUE(presenter.points().empty());
    EXPECT_TRUE(presenter.devices().at(1).empty()) << "kept as an empty entry until cleared";
}

TEST_F(GestureActivityPresenterTest, AnUpdateWithoutOriginKeepsTheEarlierOne) {
    const TouchPoint origin{0, 0.4f, 0.4f, 0};
    presenter.update(1, {TouchPoint{1, 0.4f, 0.4f, 0}}, origin);
    clock.set(100.2);
    presenter.update(1, {TouchPoint{1, 0.5f, 0.4f, 0}}, std::nullopt);
    EXPECT_EQ(presenter.origin(), origin);
}

TEST_F(GestureActivityPresenterTest, ClearForgetsEverythingAndTheNextUpdatePublishesAtOnce) {
    presenter.update(1, {TouchPoint{1, 0.4f, 0.4f, 0}}, TouchPoint{0, 0.4f, 0.4f, 0});
    presenter.clear();
    EXPECT_TRUE(presenter.points().empty());
    EXPECT_TRUE(presenter.devices().empty());
    EXPECT_FALSE(presenter.origin().has_value());
    EXPECT_EQ(presenter.lastUpdate(), -std::numeric_limits<double>::infinity());

    clock.set(100.01);
    presenter.update(3, {TouchPoint{4, 0.1f, 0.1f, 0}}, std::nullopt);
    EXPECT_EQ(ids(presenter), std::vector<QString>{QStringLiteral("3:4")});
}

TEST_F(GestureActivityPresenterTest, AnUnchangedListDoesNotNotify) {
    QSignalSpy published(&presenter, &GestureActivityPresenter::pointsChanged);
    QSignalSpy origins(&presenter, &GestureActivityPresenter::originChanged);
    const TouchPoint origin{0, 0.4f, 0.4f, 0};
    presenter.update(1, {TouchPoint{1, 0.4f, 0.4f, 0}}, origin);
    clock.set(100.1);
    presenter.update(1, {TouchPoint{1, 0.4f, 0.4f, 0}}, origin);
    EXPECT_EQ(published.count(), 1);
    EXPECT_EQ(origins.count(), 1);
    EXPECT_EQ(presenter.lastUpdate(), 100.1);
}

}  // namespace
}  // namespace glidra
