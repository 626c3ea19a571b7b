#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/pages/PracticeTrackpadView.h"
#include "views/pages/PracticeView.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QTest>

namespace glidra {
namespace {

class PracticeViewTest : public ::testing::Test {
protected:
    test::UiHarness ui;
    ControlSettings& settings = ui.context.settings;
    std::unique_ptr<PracticeView> page;
    quint64 epochBefore = 0;

    void open() {
        page = std::make_unique<PracticeView>(ui.context);
        page->resize(640, 900);
        page->show();
        epochBefore = ui.controller.actionEpoch();
    }
    void TearDown() override {
        page.reset();
        test::UiHarness::flushDeletes();
    }
    template <typename W>
    W* child(const char* name) const {
        return page->findChild<W*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisibleTo(page.get()); }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }

    void chooseRule(const QUuid& id) {
        auto* picker = child<QComboBox>("selectedRuleID");
        const int index = picker->findData(id.toString(QUuid::WithoutBraces));
        ASSERT_GE(index, 0);
        picker->setCurrentIndex(index);
        Q_EMIT picker->activated(index);
    }
};

TEST_F(PracticeViewTest, TheSwitchShowsThePracticeToolsAndIsTheOnlyWriter) {
    open();
    EXPECT_FALSE(ui.controller.practiceMode());
    EXPECT_EQ(ui.controller.actionEpoch(), epochBefore) << "nothing written on display";
    EXPECT_FALSE(shown("practiceTools"));
    EXPECT_TRUE(shown("practiceResults"));
    EXPECT_TRUE(shown("pressureTest"));
    EXPECT_EQ(text("practiceHint"), QStringLiteral("开启练习模式后，可测试手势而不执行动作。"));
    EXPECT_EQ(text("lastFreeformGesture"), ui.controller.lastRecognizedGesture());
    EXPECT_EQ(text("controlStatus"), ui.controller.status());

    QTest::mouseClick(child<kit::SwitchRow>("practiceMode")->switchControl(), Qt::LeftButton);
    EXPECT_TRUE(ui.controller.practiceMode());
    EXPECT_EQ(ui.controller.actionEpoch(), epochBefore + 1);
    EXPECT_TRUE(shown("practiceTools"));
    EXPECT_EQ(text("practiceHint"), QStringLiteral("练习模式已开启，仅显示结果，不执行动作。"));
    EXPECT_EQ(child<QComboBox>("selectedRuleID")->currentText(), QStringLiteral("不显示区域"));

    // What the controller says shows at once.
    ui.controller.setLastRecognizedGesture(QStringLiteral("三指向右滑动"));
    ui.controller.setStatus(QStringLiteral("三指向右滑动 → 未绑定（仅练习）"));
    EXPECT_EQ(text("lastFreeformGesture"), QStringLiteral("三指向右滑动"));
    EXPECT_EQ(text("controlStatus"), QStringLiteral("三指向右滑动 → 未绑定（仅练习）"));

    // Switched from elsewhere, the page follows without writing.
    const quint64 epoch = ui.controller.actionEpoch();
    ui.controller.setPracticeMode(false);
    EXPECT_FALSE(shown("practiceTools"));
    EXPECT_FALSE(child<kit::SwitchRow>("practiceMode")->isChecked());
    EXPECT_EQ(ui.controller.actionEpoch(), epoch + 1) << "only the assignment above";
}

TEST_F(PracticeViewTest, TheControlOffLabelStandsLastWhileControlIsOff) {
    open();
    EXPECT_TRUE(shown("controlOffNotice"));
    EXPECT_EQ(child<kit::SymbolLabel>("controlOffNotice")->text(),
              QStringLiteral("请先点击右上角的播放图标，启用 Glidra。"));
    auto* layout = page->layout();
    EXPECT_EQ(layout->itemAt(layout->count() - 1)->widget(), child<QWidget>("controlOffNotice"));
    ui.switchOnWithTrackpad();
    ASSERT_TRUE(ui.controller.isEnabled());
    EXPECT_FALSE(shown("controlOffNotice"));
}

TEST_F(PracticeViewTest, TheOverlayFollowsTheChosenRule) {
    const auto rule = [](std::optional<GestureRegion> region, std::optional<NormalizedRegionRect> single,
                         std::optional<std::vector<NormalizedRegionRect>> list) {
        GestureRule made;
        made.region = region;
        made.customRegion = single;
        made.customRegions = list;
        return made;
    };
    const NormalizedRegionRect lower{0.1f, 0.1f, 0.4f, 0.4f};
    const NormalizedRegionRect upper{0.6f, 0.6f, 0.9f, 0.9f};
    const GestureRule anywhere = rule(std::nullopt, std::nullopt, std::nullopt);
    const GestureRule disjoint = rule(GestureRegion::custom, std::nullopt, std::vector{lower, upper});
    const GestureRule single = rule(GestureRegion::custom, upper, std::nullopt);
    const GestureRule leftBand = rule(GestureRegion::left, std::nullopt, std::nullopt);
    settings.setRules({anywhere, disjoint, single, leftBand});
    settings.setEdgeWidth(0.5);
    open();
    ui.controller.setPracticeMode(true);

    struct Case {
        const char* name;
        QUuid id;
        std::optional<NormalizedRegionRect> region;
    };
    const Case cases[] = {
        {"anywhere", anywhere.id, NormalizedRegionRect{0, 0, 1, 1}},
        {"two disjoint rectangles", disjoint.id, std::nullopt},
        {"only customRegion", single.id, upper},
        {"edge width clamped", leftBand.id, NormalizedRegionRect{0, 0.3f, 0.3f, 0.7f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chooseRule(c.id);
        EXPECT_EQ(page->selectedRuleID(), c.id);
        EXPECT_EQ(page->trackpad()->region(), c.region);
    }
    const std::vector<PracticeContactPoint> contacts{{QStringLiteral("1:1"), 0.2f, 0.5f, 0}};
    ui.controller.activity().update(DeviceId(1), {TouchPoint{1, 0.2f, 0.5f, 0}}, TouchPoint{1, 0.2f, 0.5f, 0});
    EXPECT_EQ(page->trackpad()->points().size(), 1u);
    EXPECT_TRUE(page->trackpad()->origin());
    test::saveForReview(test::pictureOf(*page), QStringLiteral("practice"));

    // The rule deleted while chosen: the picker keeps the choice, nothing is drawn.
    settings.setRules({anywhere, disjoint, single});
    EXPECT_EQ(page->selectedRuleID(), leftBand.id);
    EXPECT_EQ(page->trackpad()->region(), std::nullopt);
    EXPECT_EQ(child<QComboBox>("selectedRuleID")->count(), 4);
    EXPECT_EQ(child<QComboBox>("selectedRuleID")->itemText(1),
              anywhere.gesture.title() + QStringLiteral(" → ") + title(anywhere.action));
}

TEST(PracticeTrackpadViewTest, DrawsDotsWithTheVerticalAxisFlipped) {
    const test::ScopedPalette light(test::lightPalette());
    PracticeTrackpadView view;
    view.resize(300, PracticeTrackpadView::drawingHeight);
    const int w = view.width();
    const int h = view.height();
    const QImage empty = view.grab().toImage();
    view.setPoints({{QStringLiteral("1:1"), 0, 0, 0}, {QStringLiteral("1:2"), 1, 1, 0}});
    const QImage dots = view.grab().toImage();
    // Inside each dot and inside the rounded clip.
    for (const QPoint at : {QPoint(6, h - 6), QPoint(w - 6, 5)}) {
        const QColor before = empty.pixelColor(at);
        const QColor after = dots.pixelColor(at);
        EXPECT_NE(before, after) << at.x() << "," << at.y();
        EXPECT_GT(after.blue(), after.red() + 60) << "the accent";
    }
    // Nothing at the other two corners.
    for (const QPoint at : {QPoint(6, 5), QPoint(w - 6, h - 6)}) EXPECT_EQ(empty.pixelColor(at), dots.pixelColor(at));
    // Past the rounded corner the dot is cut.
    EXPECT_EQ(empty.pixelColor(0, h - 1), dots.pixelColor(0, h - 1));

    view.setPoints({{QStringLiteral("1:1"), 0.2f, 0.2f, 0},
                    {QStringLiteral("1:2"), 0.5f, 0.5f, 0},
                    {QStringLiteral("2:1"), 0.8f, 0.8f, 0}});
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("实时触点"));
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("3 个触点，橙点为手势起点"));
    EXPECT_EQ(accessible->childCount(), 0);
}

}  // namespace
}  // namespace glidra
