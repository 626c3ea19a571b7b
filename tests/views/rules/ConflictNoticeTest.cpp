#include "views/kit/PlainButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"
#include "views/rules/GestureConflictCard.h"
#include "views/rules/GestureConflictNotice.h"
#include "views/rules/RulesViewFixture.h"

namespace glidra::test {
namespace {

// The notice as the rule editor shows it: the conflicts of the edited rule
// other than application overrides, against the stored rules with the
// edited rule put in place.
struct Shown {
    std::vector<GestureRuleConflict> conflicts;
    std::vector<GestureRule> rules;
};

Shown noticeFor(const GestureRule& draft, const std::vector<GestureRule>& stored) {
    Shown shown;
    for (auto& conflict : GestureRuleConflict::conflictsForRule(draft, stored, 0.08f)) {
        if (conflict.kind != GestureRuleConflict::Kind::applicationOverride) shown.conflicts.push_back(conflict);
    }
    shown.rules = upserting(stored, draft);
    return shown;
}

using ConflictNoticeTest = RulesViewTest;

TEST_F(ConflictNoticeTest, TheHeadlineNamesTheMostImportantConflict) {
    const GestureRule desk = rule(GestureAction::showDesktop);
    const GestureRule sleepTop = inRegion(rule(GestureAction::sleepComputer), GestureRegion::top);
    const GestureRule missionLeft = inRegion(rule(GestureAction::missionControl), GestureRegion::left);
    const GestureRule mute = rule(GestureAction::toggleMute);
    GestureRule editedDesk = desk;
    editedDesk.action = GestureAction::toggleMute;

    struct Case {
        const char* what;
        GestureRule draft;
        std::vector<GestureRule> stored;
        QString headline;
        bool warns;
    };
    const Case cases[] = {
        {"one duplicate", mute, {desk}, QStringLiteral("此手势已绑定“显示桌面”"), true},
        {"a duplicate among three",
         mute,
         {sleepTop, desk, missionLeft},
         QStringLiteral("此手势已绑定“显示桌面”（共 3 条）"),
         true},
        {"only region overlaps",
         mute,
         {sleepTop, missionLeft},
         QStringLiteral("与“立即休眠”的触发区域重叠（共 2 条）"),
         false},
        {"the edited rule stands first",
         editedDesk,
         {desk, sleepTop},
         QStringLiteral("与“立即休眠”的触发区域重叠"),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Shown shown = noticeFor(c.draft, c.stored);
        GestureConflictNotice notice(context, shown.conflicts, shown.rules, c.draft.id);
        auto* headline = child<kit::SymbolLabel>(&notice, QStringLiteral("headline"));
        EXPECT_EQ(headline->text(), c.headline);
        EXPECT_EQ(headline->symbol(),
                  c.warns ? QStringLiteral("exclamationmark.triangle") : QStringLiteral("info.circle"));
        EXPECT_EQ(headline->label()->colour(), c.warns ? kit::KitColour::orangeText : kit::KitColour::secondary);
    }

    // Without the other rule, or without conflicts, the headline falls back.
    const Shown shown = noticeFor(mute, {desk});
    EXPECT_EQ(GestureConflictNotice::summary(shown.conflicts, {mute}, mute.id), QStringLiteral("手势设置有重叠"));
    EXPECT_EQ(GestureConflictNotice::summary({}, shown.rules, mute.id), QStringLiteral("手势设置有重叠"));
}

TEST_F(ConflictNoticeTest, ExpandsToCardsAndCollapsesWhenTheConflictsChange) {
    const GestureRule desk = rule(GestureAction::showDesktop);
    const GestureRule sleepTop = inRegion(rule(GestureAction::sleepComputer), GestureRegion::top);
    GestureRule draft = rule(GestureAction::toggleMute);
    Shown shown = noticeFor(draft, {desk, sleepTop});
    // A conflict whose rules are not both known gives no card.
    GestureRuleConflict stray = shown.conflicts.front();
    stray.firstID = QUuid::createUuid();
    auto withStray = shown.conflicts;
    withStray.push_back(stray);

    QWidget editor;
    auto* notice = new GestureConflictNotice(context, withStray, shown.rules, draft.id, &editor);
    editor.resize(560, 400);
    editor.show();
    auto* toggle = child<kit::PlainButton>(notice, QStringLiteral("toggleDetails"));
    EXPECT_EQ(toggle->text(), QStringLiteral("查看详情"));
    EXPECT_EQ(toggle->accessibleDescription(), QStringLiteral("已收起"));
    EXPECT_TRUE(notice->findChildren<GestureConflictCard*>().isEmpty());

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(toggle->text(), QStringLiteral("收起"));
    EXPECT_EQ(toggle->accessibleDescription(), QStringLiteral("已展开"));
    const auto cards = notice->findChildren<GestureConflictCard*>();
    ASSERT_EQ(cards.size(), 2);
    for (const auto* card : cards) {
        EXPECT_TRUE(card->isVisible());
        EXPECT_TRUE(card->findChild<QLabel*>(QStringLiteral("ruleLineB"))
                        ->text()
                        .startsWith(QStringLiteral("B（当前编辑） · 静音")));
    }
    notice->resize(560, notice->heightForWidth(560) > 0 ? notice->heightForWidth(560) : notice->sizeHint().height());
    review(*notice, QStringLiteral("conflict-notice-expanded"));

    // An edit that leaves the conflicts as they were keeps it open...
    draft.requiredModifiers = 0;
    notice->setConflicts(withStray, upserting(shown.rules, draft), draft.id);
    EXPECT_TRUE(notice->showsDetails());
    // ...one that changes them collapses it.
    draft = inRegion(draft, GestureRegion::bottom);
    shown = noticeFor(draft, {desk, sleepTop});
    notice->setConflicts(shown.conflicts, shown.rules, draft.id);
    EXPECT_FALSE(notice->showsDetails());
    EXPECT_EQ(toggle->text(), QStringLiteral("查看详情"));
    EXPECT_TRUE(notice->findChildren<GestureConflictCard*>().isEmpty());
}

}  // namespace
}  // namespace glidra::test
