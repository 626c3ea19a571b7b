// The gestures page: the count, banner, badges and rows it shows for the
// stored rules, and how rows, the editor and the delete confirmation change
// the list, always by id and in one update.

#include "views/rules/GestureRegionButton.h"
#include "views/rules/RulePageFixture.h"

#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/FlatSymbolButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Switch.h"
#include "views/kit/SymbolLabel.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace glidra {
namespace {

using test::child;
using test::rule;
using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

QString rowName(const GestureRule& made) {
    return QStringLiteral("ruleRow:") + made.id.toString(QUuid::WithoutBraces).toUpper();
}

class RuleListTest : public test::RulePageTest {
protected:
    int ruleWrites() const { return int(core.defaults.writtenKeys().count(QStringLiteral("freeformRules"))); }
    QWidget* row(const GestureRule& made) { return page().findChild<QWidget*>(rowName(made)); }
    QString banner() {
        auto* button = page().findChild<kit::FlatSymbolButton*>(QStringLiteral("conflictBanner"));
        return button ? button->text() : QString();
    }
};

TEST_F(RuleListTest, ShowingThePageWritesNothingAndAnEmptyListShowsItsEmptyState) {
    const quint64 epoch = controller().actionEpoch();
    core.defaults.clearLog();
    page();
    EXPECT_TRUE(core.defaults.writtenKeys().isEmpty());
    EXPECT_EQ(controller().actionEpoch(), epoch);
    EXPECT_EQ(text(&page(), QStringLiteral("ruleCount")), QStringLiteral("0 个手势"));
    EXPECT_TRUE(child<QWidget>(&page(), QStringLiteral("emptyState"))->isVisible());
    EXPECT_EQ(banner(), QString());
    review(page(), QStringLiteral("rule-list-empty"));
}

TEST_F(RuleListTest, BannerAndBadgesFollowTheConflictsOfEnabledRules) {
    const GestureRule first = rule(GestureAction::missionControl);
    const GestureRule twin = rule(GestureAction::showDesktop);
    GestureRule left =
        test::inRegion(rule(GestureAction::volumeUp, {Kind::swipe, 4, Direction::up, 1}), GestureRegion::left);
    const GestureRule wide = rule(GestureAction::volumeDown, {Kind::swipe, 4, Direction::up, 1});
    const GestureRule forApp = test::forApplication(rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 2}),
                                                    QStringLiteral("org.gnome.Nautilus.desktop"));
    const GestureRule everywhere = rule(GestureAction::paste, {Kind::tap, 2, Direction::right, 2});
    GestureRule held = rule(GestureAction::lockScreen, {Kind::circle, 1, Direction::right, 1});
    held.requiredModifiers = 0x100000;
    settings().setRules({first, twin, left, wide, forApp, everywhere, held});

    EXPECT_EQ(text(&page(), QStringLiteral("ruleCount")), QStringLiteral("7 个手势"));
    EXPECT_EQ(banner(), QStringLiteral("有 1 组重复手势，查看详情"));
    EXPECT_EQ(text(row(first), QStringLiteral("badge")), QStringLiteral("重复手势"));
    EXPECT_EQ(text(row(twin), QStringLiteral("badge")), QStringLiteral("重复手势"));
    EXPECT_EQ(text(row(left), QStringLiteral("badge")), QStringLiteral("范围重叠"));
    EXPECT_EQ(text(row(forApp), QStringLiteral("badge")), QStringLiteral("范围重叠")) << "an application override";
    EXPECT_EQ(text(row(held), QStringLiteral("badge")), QString());
    EXPECT_EQ(text(row(held), QStringLiteral("modifiers")), QStringLiteral("需同时按住组合键"));
    EXPECT_EQ(text(row(first), QStringLiteral("modifiers")), QString());
    review(page(), QStringLiteral("rule-list-with-banner"));

    // Switching the twin off ends the only duplicate: the banner counts the
    // overlaps that remain.
    const int resetsBefore = resets();
    click(row(twin), QStringLiteral("enabled"));
    EXPECT_FALSE(settings().rules()[1].isEnabled);
    EXPECT_EQ(resets(), resetsBefore + 1);
    EXPECT_EQ(banner(), QStringLiteral("有 2 组手势范围重叠，查看详情"));
    EXPECT_EQ(text(row(first), QStringLiteral("badge")), QString());
    EXPECT_EQ(text(row(twin), QStringLiteral("badge")), QString());
}

TEST_F(RuleListTest, TheSummaryNamesTheApplicationAndRegionOnlyWhenTheyNarrowTheRule) {
    const QString path = QStringLiteral("/usr/share/applications/org.gnome.Nautilus.desktop");
    workspace.installApplication(QStringLiteral("org.gnome.Nautilus.desktop"), path);
    workspace.addBundle(path, ApplicationBundle{QStringLiteral("org.gnome.Nautilus.desktop"), QStringLiteral("文件")});
    const GestureRule plain = test::inRegion(rule(GestureAction::missionControl), GestureRegion::anywhere);
    const GestureRule narrow = test::forApplication(
        test::inRegion(rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1}), GestureRegion::left),
        QStringLiteral("org.gnome.Nautilus.desktop"));
    settings().setRules({plain, narrow});
    EXPECT_EQ(text(row(plain), QStringLiteral("summary")), plain.actionTitle());
    EXPECT_EQ(text(row(narrow), QStringLiteral("summary")),
              narrow.actionTitle() + QStringLiteral(" · 文件 · ") + narrow.regionTitle());
}

TEST_F(RuleListTest, ARuleWhoseActionCannotWorkOnThisDesktopSaysSoAtTheRule) {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    const GestureRule shortcuts = rule(GestureAction::runShortcut);
    const GestureRule preview = rule(GestureAction::quickLook, {Kind::tap, 3, Direction::right, 1});
    const GestureRule copy = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    const auto warning = [this](const GestureRule& made) {
        auto* line = row(made)->findChild<kit::SymbolLabel*>(QStringLiteral("actionUnavailable"));
        return line ? line->text() : QString();
    };
    settings().setRules({shortcuts, preview, copy});
    EXPECT_EQ(warning(shortcuts), QStringLiteral("此桌面不支持这个动作：没有快捷指令应用。"));
    EXPECT_EQ(warning(preview), QStringLiteral("此桌面不支持这个动作：没有安装文件预览程序（如 GNOME 的 Sushi）。"));
    EXPECT_EQ(warning(copy), QString());
    // The rules stay as they were stored.
    EXPECT_EQ(settings().rules().size(), 3u);
    review(page(), QStringLiteral("rule-list-unavailable-action"));

    // With Sushi installed, previews work: a row built now says nothing.
    workspace.setHasFilePreviewer(true);
    const GestureRule laterPreview = rule(GestureAction::quickLook, {Kind::tap, 4, Direction::right, 1});
    settings().setRules({copy, laterPreview});
    EXPECT_EQ(warning(laterPreview), QString());
    qputenv("XDG_CURRENT_DESKTOP", desktop);
}

TEST_F(RuleListTest, RowsChangeTheRuleWithTheirIdAfterADeleteAndARegionIsOneUpdate) {
    const GestureRule a = rule(GestureAction::missionControl);
    const GestureRule b = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    const GestureRule c = rule(GestureAction::paste, {Kind::tap, 3, Direction::right, 1});
    settings().setRules({a, b, c});
    page();

    // Each row's buttons say which rule they act on.
    for (const GestureRule& each : {b, c}) {
        const QString which = each.gesture.title() + QStringLiteral("：") + each.actionTitle();
        EXPECT_EQ(child<QPushButton>(row(each), QStringLiteral("edit"))->accessibleName(),
                  QStringLiteral("编辑 ") + which);
        EXPECT_EQ(child<QPushButton>(row(each), QStringLiteral("delete"))->accessibleName(),
                  QStringLiteral("删除 ") + which);
    }
    EXPECT_NE(child<QPushButton>(row(b), QStringLiteral("edit"))->accessibleName(),
              child<QPushButton>(row(c), QStringLiteral("edit"))->accessibleName());

    // "取消" keeps the list.
    click(row(a), QStringLiteral("delete"));
    ASSERT_NE(page().deleteConfirmation(), nullptr);
    EXPECT_EQ(page().deleteConfirmation()->text(), QStringLiteral("确认删除？"));
    click(page().deleteConfirmation(), QStringLiteral("cancelDelete"));
    EXPECT_EQ(settings().rules().size(), 3u);
    EXPECT_FALSE(page().ruleToDelete());

    click(row(a), QStringLiteral("delete"));
    click(page().deleteConfirmation(), QStringLiteral("confirmDelete"));
    ASSERT_EQ(settings().rules().size(), 2u);
    EXPECT_EQ(settings().rules()[0].id, b.id);
    EXPECT_FALSE(page().ruleToDelete());

    // The row now first still changes its own rule.
    click(row(c), QStringLiteral("enabled"));
    EXPECT_TRUE(settings().rules()[0].isEnabled);
    EXPECT_FALSE(settings().rules()[1].isEnabled);

    core.defaults.clearLog();
    const int resetsBefore = resets();
    const auto fields = GestureRegionButton::applySelection(
        GestureRegion::custom, {NormalizedRegionRect{0, 0, 0.5f, 0.5f}, NormalizedRegionRect{0.2f, 0.2f, 0.8f, 0.8f}});
    Q_EMIT child<GestureRegionButton>(row(b), QStringLiteral("regionButton"))->regionChosen(fields);
    settle();
    EXPECT_EQ(ruleWrites(), 1);
    EXPECT_EQ(resets(), resetsBefore + 1);
    EXPECT_EQ(GestureRegionFields::of(settings().rules()[0]), fields);
}

TEST_F(RuleListTest, ASwitchFlippedWithSpaceKeepsTheFocusAndTheOtherRowsStay) {
    const GestureRule a = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    const GestureRule b = rule(GestureAction::paste, {Kind::tap, 3, Direction::right, 1});
    settings().setRules({a, b});
    page();
    QWidget* window = row(a)->window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget* untouched = row(a);
    auto* flipped = child<QWidget>(row(b), QStringLiteral("enabled"));
    flipped->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), flipped);

    const bool before = settings().rules()[1].isEnabled;
    QTest::keyClick(flipped, Qt::Key_Space);
    settle();
    ASSERT_NE(settings().rules()[1].isEnabled, before);
    // The focus is on the same switch of the same rule, not on "添加手势".
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->objectName(), QStringLiteral("enabled"));
    EXPECT_TRUE(row(b)->isAncestorOf(focused));
    EXPECT_EQ(row(a), untouched) << "a row whose rule did not change is kept";
}

TEST_F(RuleListTest, SavingReplacesInPlaceOrAppendsAndCancelKeepsTheList) {
    const GestureRule a = rule(GestureAction::missionControl);
    const GestureRule b = rule(GestureAction::copy, {Kind::tap, 2, Direction::right, 1});
    settings().setRules({a, b});

    click(row(a), QStringLiteral("edit"));
    ASSERT_NE(page().editor(), nullptr);
    click(page().editor(), QStringLiteral("cancel"));
    EXPECT_EQ(settings().rules(), (std::vector{a, b}));

    GestureRule edited = a;
    edited.action = GestureAction::showDesktop;
    page().saveRule(edited);
    const GestureRule added = rule(GestureAction::paste, {Kind::tap, 3, Direction::right, 1});
    page().saveRule(added);
    EXPECT_EQ(settings().rules(), (std::vector{edited, b, added}));
}

TEST_F(RuleListTest, TheBannerOpensTheInspectorWhichEndsTheReviewWhenClosed) {
    settings().setRules({rule(GestureAction::missionControl), rule(GestureAction::showDesktop)});
    click(&page(), QStringLiteral("conflictBanner"));
    ASSERT_NE(page().inspector(), nullptr);
    EXPECT_TRUE(controller().isReviewingConflicts());
    page().inspector()->reject();
    settle();
    EXPECT_FALSE(controller().isReviewingConflicts());
}

}  // namespace
}  // namespace glidra
