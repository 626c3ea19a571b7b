// The rows of the gestures page inside a scrolling view, as the settings
// window holds it: only the rows in and near sight are made, they sit where
// the whole list would put them, and a row the user is in survives any
// scrolling.

#include "views/rules/GestureRegionButton.h"
#include "views/rules/GestureRuleList.h"
#include "views/rules/RegionSelectionSheet.h"
#include "views/rules/RulePageFixture.h"

#include "settings/ControlSettings.h"
#include "views/kit/StyledLabel.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <algorithm>

namespace glidra {
namespace {

using test::child;
using test::rule;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

QString rowName(const GestureRule& made) {
    return QStringLiteral("ruleRow:") + made.id.toString(QUuid::WithoutBraces).toUpper();
}

// `count` rules with no two alike, every seventh needing a held key (a
// taller row), so that few of them conflict.
std::vector<GestureRule> manyRules(int count) {
    constexpr Kind kinds[] = {Kind::tap,       Kind::click,   Kind::swipe,          Kind::forcePress,
                              Kind::longPress, Kind::pinchIn, Kind::rotateClockwise};
    std::vector<GestureRule> rules;
    rules.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        GestureRule made = rule(GestureAction::copy, {kinds[i % 7], 1 + (i / 7) % 5, Direction::right, 1});
        made.appBundleID = QStringLiteral("org.example.App%1.desktop").arg(i / 35);
        if (i % 7 == 3) made.requiredModifiers = 0x100000;
        rules.push_back(std::move(made));
    }
    return rules;
}

// The rows the list shows, from top to bottom.
QList<GestureRuleRow*> shownRows(const GestureRuleList& list) {
    auto rows = list.findChildren<GestureRuleRow*>(Qt::FindDirectChildrenOnly);
    rows.removeIf([](const QWidget* made) { return made->isHidden(); });
    std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    return rows;
}

class RuleListRowsTest : public test::RulePageTest {
protected:
    // The page in a scrolling view of the settings window's size, opened at
    // its top.
    QScrollArea& scrolled() {
        if (!scroll_) {
            scroll_ = std::make_unique<QScrollArea>();
            scroll_->setWidgetResizable(true);
            scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            scroll_->setWidget(new FreeformRulesView(context));
            scroll_->resize(720, 600);
            scroll_->show();
            settle();
        }
        return *scroll_;
    }
    FreeformRulesView& view() { return *static_cast<FreeformRulesView*>(scrolled().widget()); }
    GestureRuleList& list() { return *view().list(); }
    QWidget* row(const GestureRule& made) { return view().findChild<QWidget*>(rowName(made)); }
    void scrollTo(int value) {
        scrolled().verticalScrollBar()->setValue(value);
        settle();
    }
    // Where a row is in the scrolling view's viewport.
    QRect inViewport(QWidget* widget) {
        return QRect(widget->mapTo(scrolled().viewport(), QPoint(0, 0)), widget->size());
    }
    // The made rows from top to bottom: each must be the row of the rule
    // that follows the one above it, below it with room between.
    void expectRowsInListOrder() {
        const auto rows = shownRows(list());
        ASSERT_FALSE(rows.empty());
        const auto& rules = settings().rules();
        const auto indexOf = [&](const QWidget* made) {
            return std::find_if(rules.begin(), rules.end(),
                                [&](const auto& r) { return rowName(r) == made->objectName(); }) -
                   rules.begin();
        };
        for (qsizetype i = 1; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i]->objectName().toStdString());
            EXPECT_EQ(indexOf(rows[i]), indexOf(rows[i - 1]) + 1);
            EXPECT_GE(rows[i]->y(), rows[i - 1]->geometry().bottom() + 1) << "rows overlap";
            EXPECT_EQ(rows[i]->height(), rows[i]->heightForWidth(rows[i]->width())) << "a row is cut or stretched";
        }
    }

    std::unique_ptr<QScrollArea> scroll_;
};

TEST_F(RuleListRowsTest, TenThousandRulesMakeOnlyTheRowsInSightWhereverTheViewIs) {
    const auto rules = manyRules(10000);
    settings().setRules(rules);
    scrolled();

    EXPECT_EQ(text(&view(), QStringLiteral("ruleCount")), QStringLiteral("10000 个手势"));
    EXPECT_NE(row(rules.front()), nullptr);
    EXPECT_LT(list().madeRows(), 60) << "rows far out of sight are made";
    // The list is as tall as all its rows: the view scrolls to the last.
    EXPECT_GT(list().height(), 10000 * 40);
    expectRowsInListOrder();

    for (const int at : {scrolled().verticalScrollBar()->maximum() / 2, scrolled().verticalScrollBar()->maximum()}) {
        scrollTo(at);
        EXPECT_LT(list().madeRows(), 60) << "rows scrolled past are kept";
        EXPECT_EQ(row(rules.front()), nullptr);
        expectRowsInListOrder();
    }
    QWidget* last = row(rules.back());
    ASSERT_NE(last, nullptr) << "the view's end shows no last row";
    EXPECT_TRUE(scrolled().viewport()->rect().contains(inViewport(last)));
    EXPECT_EQ(text(last, QStringLiteral("summary")), GestureRuleRow::summary(rules.back(), context));
}

TEST_F(RuleListRowsTest, ARuleChangedOutOfSightShowsWhenScrolledToAndRowsInSightStay) {
    auto rules = manyRules(400);
    settings().setRules(rules);
    scrolled();
    QWidget* top = row(rules[1]);
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(row(rules[300]), nullptr);

    rules[300].action = GestureAction::paste;
    rules[300].requiredModifiers = 0x100000;
    settings().setRules(rules);
    EXPECT_EQ(row(rules[1]), top) << "a row whose rule did not change is kept";
    EXPECT_EQ(row(rules[300]), nullptr);

    // Down the list until the changed rule's row is in sight.
    for (int at = 0; at <= scrolled().verticalScrollBar()->maximum() && !row(rules[300]); at += 500) scrollTo(at);
    QWidget* changed = row(rules[300]);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(text(changed, QStringLiteral("summary")), GestureRuleRow::summary(rules[300], context));
    EXPECT_EQ(text(changed, QStringLiteral("modifiers")), QStringLiteral("需同时按住组合键"));
    expectRowsInListOrder();
}

TEST_F(RuleListRowsTest, ARowWithTheFocusOrAnOpenSheetOutlivesScrollingAndStillChangesItsRule) {
    const auto rules = manyRules(600);
    settings().setRules(rules);
    QWidget* window = scrolled().window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

    auto* focused = child<QWidget>(row(rules[0]), QStringLiteral("enabled"));
    focused->setFocus(Qt::TabFocusReason);
    auto* region = child<GestureRegionButton>(row(rules[2]), QStringLiteral("regionButton"));
    region->openSheet();
    settle();
    QPointer<RegionSelectionSheet> sheet = region->sheet();
    ASSERT_NE(sheet, nullptr);

    // The sheet is the active window now; the page's window keeps its focus.
    scrollTo(scrolled().verticalScrollBar()->maximum());
    ASSERT_NE(row(rules[0]), nullptr) << "the focused row was released";
    EXPECT_EQ(window->focusWidget(), focused);
    ASSERT_NE(row(rules[2]), nullptr) << "the row with an open sheet was released";
    EXPECT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(row(rules[1]), nullptr);

    // Space flips the focused switch, far from sight: the rule changes and
    // the focus is on the same switch of its new row.
    QTest::keyClick(focused, Qt::Key_Space);
    settle();
    EXPECT_FALSE(settings().rules()[0].isEnabled);
    ASSERT_NE(row(rules[0]), nullptr);
    ASSERT_NE(window->focusWidget(), nullptr);
    EXPECT_EQ(window->focusWidget()->objectName(), QStringLiteral("enabled"));
    EXPECT_TRUE(row(rules[0])->isAncestorOf(window->focusWidget()));

    // The sheet still answers for its rule, and goes.
    ASSERT_FALSE(settings().rules()[2].region);
    click(sheet, QStringLiteral("confirm"));
    EXPECT_EQ(settings().rules()[2].region, GestureRegion::anywhere);
    EXPECT_EQ(sheet, nullptr);

    // Done with both, the rows go at the next scroll.
    window->focusWidget()->clearFocus();
    scrollTo(scrolled().verticalScrollBar()->maximum() - 10);
    EXPECT_EQ(row(rules[0]), nullptr);
    EXPECT_EQ(row(rules[2]), nullptr);
}

TEST_F(RuleListRowsTest, TabWalksTheRowsInListOrderAlsoAfterARowWasMadeAnew) {
    const GestureRule a = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    const GestureRule b = rule(GestureAction::paste, {Kind::tap, 3, Direction::right, 1});
    const GestureRule c = rule(GestureAction::missionControl, {Kind::swipe, 3, Direction::up, 1});
    settings().setRules({a, b, c});
    QWidget* window = scrolled().window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // The first row is made anew, after the others.
    click(row(a), QStringLiteral("enabled"));

    auto* add = child<QWidget>(&view(), QStringLiteral("addRule"));
    add->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QWidget* owner = focused->parentWidget();
        while (owner && !owner->objectName().startsWith(QStringLiteral("ruleRow:"))) owner = owner->parentWidget();
        walked << (owner ? owner->objectName() : QStringLiteral("-")) + QLatin1Char('/') + focused->objectName();
    }
    QStringList expected;
    for (const GestureRule* each : {&a, &b, &c}) {
        for (const char* control : {"enabled", "regionButton", "edit", "delete"})
            expected << rowName(*each) + QLatin1Char('/') + QLatin1String(control);
    }
    EXPECT_EQ(walked, expected);
}

TEST_F(RuleListRowsTest, RulesSharingAnIdEachHaveOneRowThroughChanges) {
    const GestureRule first = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    GestureRule twin = rule(GestureAction::paste, {Kind::tap, 3, Direction::right, 1});
    twin.id = first.id;
    const GestureRule other = rule(GestureAction::missionControl, {Kind::swipe, 3, Direction::up, 1});
    settings().setRules({first, twin, other});
    scrolled();
    EXPECT_EQ(shownRows(list()).size(), 3);
    click(row(other), QStringLiteral("enabled"));
    settle();
    const auto rows = shownRows(list());
    ASSERT_EQ(rows.size(), 3) << "a row of a shared id stays behind";
    for (qsizetype i = 1; i < rows.size(); ++i) EXPECT_GT(rows[i]->y(), rows[i - 1]->geometry().bottom());
    EXPECT_EQ(text(rows[1], QStringLiteral("summary")), GestureRuleRow::summary(twin, context));
}

}  // namespace
}  // namespace glidra
