#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"
#include "views/rules/GestureConflictCard.h"
#include "views/rules/GestureConflictRegionMap.h"
#include "views/rules/RulesViewFixture.h"

namespace glidra::test {
namespace {

const QString webID = QStringLiteral("org.example.Web.desktop");

class ConflictCardTest : public RulesViewTest {
protected:
    ConflictCardTest() {
        const QString path = QStringLiteral("/usr/share/applications/org.example.Web.desktop");
        workspace.installApplication(webID, path);
        workspace.addBundle(path, {webID, QStringLiteral("Web.apprentice.app")});
    }

    static QString text(const QWidget* card, const char* name) {
        return card->findChild<QLabel*>(QLatin1String(name))->text();
    }
};

TEST_F(ConflictCardTest, ExplainsEachKindWithTheRecordedWinner) {
    const GestureRule desk = rule(GestureAction::showDesktop);
    const GestureRule mission = rule(GestureAction::missionControl);
    enum class Draft { none, first, second };
    struct Case {
        const char* what;
        GestureRule first;
        GestureRule second;
        Draft draft;
        GestureRuleConflict::Kind kind;
        QString explanation;
        QString lineA;
        QString lineB;
    };
    const QString anywhereA = QStringLiteral("A · 显示桌面 · 所有应用 · 全触控板");
    const QString anywhereB = QStringLiteral("B · 桌面概览 · 所有应用 · 全触控板");
    const Case cases[] = {
        {"a duplicate among stored rules", desk, mission, Draft::none, GestureRuleConflict::Kind::duplicate,
         QStringLiteral("这两条条件相同，优先执行列表靠前的“显示桌面”。"), anywhereA, anywhereB},
        {"a duplicate the stored rule wins", desk, mission, Draft::second, GestureRuleConflict::Kind::duplicate,
         QStringLiteral("这两条条件相同，保存后仍优先执行已有的“显示桌面”。"), anywhereA,
         QStringLiteral("B（当前编辑） · 桌面概览 · 所有应用 · 全触控板")},
        {"a duplicate the edited rule wins", desk, mission, Draft::first, GestureRuleConflict::Kind::duplicate,
         QStringLiteral("这两条条件相同，保存后优先执行当前编辑的“显示桌面”。"),
         QStringLiteral("A（当前编辑） · 显示桌面 · 所有应用 · 全触控板"), anywhereB},
        {"a region rule over the whole pad", desk, inRegion(mission, GestureRegion::top), Draft::none,
         GestureRuleConflict::Kind::regionOverlap,
         QStringLiteral("这两条中，重叠处优先执行指定区域的“桌面概览”。重叠外不受影响。"), anywhereA,
         QStringLiteral("B · 桌面概览 · 所有应用 · 上边缘")},
        {"two equally specific regions", inCustom(desk, {{0, 0, 0.6f, 1}}), inCustom(mission, {{0.4f, 0, 1, 1}}),
         Draft::none, GestureRuleConflict::Kind::regionOverlap,
         QStringLiteral("这两条中，重叠处优先执行列表靠前的“显示桌面”。"),
         QStringLiteral("A · 显示桌面 · 所有应用 · 自定义区域"),
         QStringLiteral("B · 桌面概览 · 所有应用 · 自定义区域")},
        {"the later rule is for an application", desk, forApplication(mission, webID), Draft::none,
         GestureRuleConflict::Kind::applicationOverride,
         QStringLiteral("这两条中，在 Web.apprentice 的重叠区域优先执行“桌面概览”。应用专属设置不会影响其他应用。"),
         anywhereA, QStringLiteral("B · 桌面概览 · Web.apprentice · 全触控板")},
        {"the earlier rule is for an application", forApplication(desk, webID), mission, Draft::none,
         GestureRuleConflict::Kind::applicationOverride,
         QStringLiteral("这两条中，在 Web.apprentice 的重叠区域优先执行“显示桌面”。应用专属设置不会影响其他应用。"),
         QStringLiteral("A · 显示桌面 · Web.apprentice · 全触控板"), anywhereB},
        {"an application no longer installed", desk, forApplication(mission, QStringLiteral("org.gone.desktop")),
         Draft::none, GestureRuleConflict::Kind::applicationOverride,
         QStringLiteral(
             "这两条中，在 指定应用（当前未安装） 的重叠区域优先执行“桌面概览”。应用专属设置不会影响其他应用。"),
         anywhereA, QStringLiteral("B · 桌面概览 · 指定应用（当前未安装） · 全触控板")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto conflict = GestureRuleConflict::between(c.first, c.second, 0.08f);
        ASSERT_TRUE(conflict.has_value());
        ASSERT_EQ(conflict->kind, c.kind);
        std::optional<QUuid> draft;
        if (c.draft == Draft::first) draft = c.first.id;
        if (c.draft == Draft::second) draft = c.second.id;
        GestureConflictCard card(context, *conflict, c.first, c.second, draft);
        EXPECT_EQ(card.objectName(), QStringLiteral("conflictCard:") + conflict->id());
        EXPECT_EQ(text(&card, "explanation"), c.explanation);
        EXPECT_EQ(text(&card, "ruleLineA"), c.lineA);
        EXPECT_EQ(text(&card, "ruleLineB"), c.lineB);
        EXPECT_EQ(text(&card, "gesture"), c.first.gesture.title());
        for (const char* name : {"explanation", "ruleLineA", "ruleLineB"}) {
            EXPECT_EQ(card.findChild<QLabel*>(QLatin1String(name))->textFormat(), Qt::PlainText);
        }
    }
}

TEST_F(ConflictCardTest, KindsHaveTheirTitleSymbolAndColour) {
    struct Case {
        GestureRuleConflict::Kind kind;
        const char* title;
        const char* symbol;
        kit::KitColour colour;
    };
    const Case cases[] = {
        {GestureRuleConflict::Kind::duplicate, "重复手势", "exclamationmark.triangle", kit::KitColour::orangeText},
        {GestureRuleConflict::Kind::applicationOverride, "应用内设置优先", "info.circle", kit::KitColour::secondary},
        {GestureRuleConflict::Kind::regionOverlap, "触发区域重叠", "info.circle", kit::KitColour::secondary},
    };
    const GestureRule first = rule(GestureAction::showDesktop);
    const GestureRule second = rule(GestureAction::missionControl);
    for (const auto& c : cases) {
        GestureRuleConflict conflict = *GestureRuleConflict::between(first, second, 0.08f);
        conflict.kind = c.kind;
        GestureConflictCard card(context, conflict, first, second, std::nullopt);
        auto* kind = card.findChild<kit::SymbolLabel*>(QStringLiteral("kind"));
        EXPECT_EQ(kind->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(kind->symbol(), QLatin1String(c.symbol));
        EXPECT_EQ(kind->label()->colour(), c.colour);
    }
}

TEST_F(ConflictCardTest, TheMapShowsBothRulesAndTheirOverlap) {
    GestureRuleConflict conflict;
    conflict.firstRegion = {0, 0, 0.5f, 1};
    conflict.secondRegion = {0.25f, 0, 1, 1};
    conflict.intersection = {0.25f, 0, 0.5f, 1};
    GestureConflictRegionMap map(conflict);
    EXPECT_EQ(map.accessibleName(), QStringLiteral("触控板区域交集"));
    EXPECT_EQ(map.accessibleDescription(), QStringLiteral("1 处重叠区域"));
    EXPECT_EQ(GestureConflictRegionMap::overlapLayer(conflict).size(), 1u);

    map.resize(300, map.sizeHint().height());
    map.show();
    auto* pad = map.findChild<QWidget*>(QStringLiteral("regionMapPad"));
    ASSERT_EQ(pad->size(), QSize(300, 120));
    const QImage picture = pad->grab().toImage();
    const QColor overlap = picture.pixelColor(112, 60);
    const QColor onlyA = picture.pixelColor(40, 60);
    const QColor onlyB = picture.pixelColor(240, 60);
    EXPECT_GT(overlap.red(), overlap.green() + 40) << "orange inside the overlap";
    EXPECT_GT(overlap.green(), overlap.blue() + 40);
    EXPECT_GT(onlyA.blue(), onlyA.red() + 15) << "blue where only rule A fires";
    EXPECT_GT(onlyB.red(), onlyB.green() + 8) << "purple where only rule B fires";
    EXPECT_GT(onlyB.blue(), onlyB.green() + 8);

    conflict.intersections = std::vector<NormalizedRegionRect>{{0.25f, 0, 0.5f, 0.4f}, {0.25f, 0.6f, 0.5f, 1}};
    EXPECT_EQ(GestureConflictRegionMap(conflict).accessibleDescription(), QStringLiteral("2 处重叠区域"));

    // A rectangle without width still shows as a line.
    EXPECT_EQ(GestureConflictRegionMap::placement({0.5f, 0, 0.5f, 1}, QSizeF(300, 120)), QRectF(149.5, 0, 1, 120));
    EXPECT_EQ(GestureConflictRegionMap::placement({0, 0.5f, 0.5f, 1}, QSizeF(300, 120)), QRectF(0, 0, 150, 60));
}

TEST_F(ConflictCardTest, PicturesForReview) {
    const GestureRule desk = rule(GestureAction::showDesktop);
    const std::pair<GestureRule, GestureRule> pairs[] = {
        {desk, rule(GestureAction::missionControl)},
        {desk, forApplication(rule(GestureAction::missionControl), webID)},
        {inCustom(desk, {{0, 0, 0.6f, 1}}), inRegion(rule(GestureAction::missionControl), GestureRegion::top)},
    };
    for (const auto& [first, second] : pairs) {
        const auto conflict = *GestureRuleConflict::between(first, second, 0.08f);
        GestureConflictCard card(context, conflict, first, second, second.id);
        card.resize(552, card.heightForWidth(552) > 0 ? card.heightForWidth(552) : card.sizeHint().height());
        review(card, QStringLiteral("conflict-card-") + enumRaw(conflict.kind));
    }
}

}  // namespace
}  // namespace glidra::test
