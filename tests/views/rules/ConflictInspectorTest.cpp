#include "views/rules/GestureConflictCard.h"
#include "views/rules/GestureConflictInspector.h"
#include "views/rules/RulesViewFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace glidra::test {
namespace {

class ConflictInspectorTest : public RulesViewTest {
protected:
    QWidget page;

    ConflictInspectorTest() {
        page.resize(800, 700);
        page.show();
    }

    QPointer<GestureConflictInspector> openInspector(std::vector<GestureRule> rules) {
        auto* inspector = new GestureConflictInspector(context, std::move(rules), 0.08f, &page);
        inspector->open();
        return inspector;
    }

    static std::vector<GestureConflictCard*> cards(const QWidget* inspector) {
        const auto found = inspector->findChildren<GestureConflictCard*>();
        return {found.begin(), found.end()};
    }
};

TEST_F(ConflictInspectorTest, WithoutConflictsShowsTheEmptyStateUnderThePrecedence) {
    GestureRule disabled = rule(GestureAction::missionControl);
    disabled.isEnabled = false;
    const std::vector<std::vector<GestureRule>> lists = {
        {},
        {rule(GestureAction::showDesktop), rule(GestureAction::missionControl, {GestureDescriptor::Kind::tap, 3})},
        {rule(GestureAction::showDesktop), disabled},
    };
    for (const auto& rules : lists) {
        const auto inspector = openInspector(rules);
        EXPECT_EQ(inspector->size(), QSize(600, 640));
        EXPECT_TRUE(cards(inspector).empty());
        EXPECT_TRUE(child<QWidget>(inspector, QStringLiteral("emptyState"))->isVisible());
        EXPECT_EQ(child<QLabel>(inspector, QStringLiteral("precedence"))->text(),
                  QStringLiteral("同一个手势先用当前应用的设置，再看触发区域；条件相同时用列表靠前的一项。"));
        if (rules.empty()) review(*inspector, QStringLiteral("conflict-inspector-empty"));
        inspector->reject();
    }
}

TEST_F(ConflictInspectorTest, ListsACardPerConflictInListOrder) {
    const GestureRule desk = rule(GestureAction::showDesktop);
    const GestureRule mission = rule(GestureAction::missionControl);
    const GestureRule sleep = inRegion(rule(GestureAction::sleepComputer), GestureRegion::top);
    const auto inspector = openInspector({desk, mission, sleep});
    const auto shown = cards(inspector);
    ASSERT_EQ(shown.size(), 3u);
    const auto expected = GestureRuleConflict::detectAll(std::vector{desk, mission, sleep}, 0.08f);
    EXPECT_EQ(inspector->conflicts(), expected);
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i]->objectName(), QStringLiteral("conflictCard:") + expected[i].id());
        EXPECT_FALSE(
            shown[i]->findChild<QLabel*>(QStringLiteral("ruleLineA"))->text().contains(QStringLiteral("当前编辑")));
    }
    EXPECT_EQ(inspector->findChild<QWidget*>(QStringLiteral("emptyState")), nullptr);
    review(*inspector, QStringLiteral("conflict-inspector-cards"));
}

TEST_F(ConflictInspectorTest, BuildsCardsAsTheListScrollsToThem) {
    // Twelve copies of one rule conflict in 66 pairs.
    std::vector<GestureRule> rules;
    for (int i = 0; i < 12; ++i) rules.push_back(rule(GestureAction::showDesktop));
    const auto inspector = openInspector(rules);
    settle();
    EXPECT_EQ(cards(inspector).size(), size_t(GestureConflictInspector::cardsPerBatch));
    QScrollBar* bar = child<QScrollArea>(inspector, QStringLiteral("conflictList"))->verticalScrollBar();
    for (int round = 0; round < 20 && cards(inspector).size() < 66; ++round) {
        bar->setValue(bar->maximum());
        settle();
    }
    EXPECT_EQ(cards(inspector).size(), 66u);
}

TEST_F(ConflictInspectorTest, HoldsTheReviewFlagWhileOnScreen) {
    const std::vector<GestureRule> rules{rule(GestureAction::showDesktop), rule(GestureAction::missionControl)};
    struct Case {
        const char* what;
        std::function<void(GestureConflictInspector*)> close;
    };
    const Case cases[] = {
        {"完成",
         [](auto* inspector) {
             QTest::mouseClick(child<QPushButton>(inspector, QStringLiteral("done")), Qt::LeftButton);
         }},
        {"Escape", [](auto* inspector) { QTest::keyClick(inspector, Qt::Key_Escape); }},
        {"deletion", [](auto* inspector) { delete inspector; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int before = resets();
        const auto inspector = openInspector(rules);
        EXPECT_TRUE(controller().isReviewingConflicts());
        EXPECT_TRUE(controller().isControlSuspended());
        EXPECT_EQ(resets(), before + 1);
        before = resets();
        c.close(inspector);
        settle();
        EXPECT_FALSE(controller().isReviewingConflicts());
        EXPECT_EQ(resets(), before + 1) << "lowered once";
        EXPECT_TRUE(inspector.isNull());
    }
}

}  // namespace
}  // namespace glidra::test
