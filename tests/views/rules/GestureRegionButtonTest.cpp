#include "gestures/RegionQuickPreset.h"
#include "settings/ControlSettings.h"
#include "views/rules/GestureRegionButton.h"
#include "views/rules/GestureRegionPicker.h"
#include "views/rules/RegionSelectionSheet.h"
#include "views/rules/RulesViewFixture.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace glidra::test {
namespace {

using Rects = std::vector<NormalizedRegionRect>;
using P = RegionQuickPreset;

GestureRegionFields customFields(Rects rects) {
    GestureRegionFields fields;
    fields.region = GestureRegion::custom;
    if (rects.size() == 1) {
        fields.customRegion = rects.front();
    } else if (!rects.empty()) {
        fields.customRegions = std::move(rects);
    }
    return fields;
}

TEST(GestureRegionButtonTest, ARulesFieldsGiveTheSheetsStart) {
    struct Case {
        const char* what;
        GestureRegionFields fields;
        RegionSelection start;
        QString title;
    };
    const Case cases[] = {
        {"no region", {}, {GestureRegion::anywhere, {{0, 0, 1, 1}}, 25}, QStringLiteral("全触控板")},
        {"the top edge",
         {GestureRegion::top, std::nullopt, std::nullopt},
         {GestureRegion::top, {{0.08f, 0.92f, 0.92f, 1}}, 25},
         QStringLiteral("上边缘")},
        {"two overlapping rectangles",
         customFields({{0, 0, 0.6f, 1}, {0.4f, 0, 1, 1}}),
         {GestureRegion::custom, {{0.4f, 0, 0.6f, 1}}, 25},
         QStringLiteral("交叉区域")},
        {"two rectangles apart",
         customFields({{0, 0, 0.3f, 1}, {0.7f, 0, 1, 1}}),
         {GestureRegion::custom, {}, 25},
         QStringLiteral("没有交叉区域")},
        {"overlapping by under 0.02",
         customFields({{0, 0, 0.51f, 1}, {0.5f, 0, 1, 1}}),
         {GestureRegion::custom, {}, 25},
         QStringLiteral("没有交叉区域")},
        {"the left preset at 75",
         customFields({{0, 0, 0.75f, 1}}),
         {GestureRegion::custom, {{0, 0, 0.75f, 1}}, 75},
         QStringLiteral("左侧 75%")},
        {"the top preset at 50",
         customFields({{0, 0.5f, 1, 1}}),
         {GestureRegion::custom, {{0, 0.5f, 1, 1}}, 50},
         QStringLiteral("上方 50%")},
        {"custom without rectangles", customFields({}), {GestureRegion::custom, {}, 25}, QStringLiteral("未选择区域")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GestureRegionButton::sheetStart(c.fields, 0.08f), c.start);
        EXPECT_EQ(GestureRegionButton::summaryTitle(c.fields, false), c.title);
        EXPECT_EQ(GestureRegionButton::summaryTitle(c.fields, true), QStringLiteral("区域"));
    }
}

TEST(GestureRegionButtonTest, AConfirmedSheetGivesAllThreeFields) {
    const NormalizedRegionRect a{0, 0, 0.6f, 1};
    const NormalizedRegionRect b{0.4f, 0, 1, 1};
    const NormalizedRegionRect apart{0.7f, 0, 1, 1};
    struct Case {
        const char* what;
        GestureRegion selection;
        Rects rectangles;
        GestureRegionFields expected;
    };
    const Case cases[] = {
        {"a preset", GestureRegion::anywhere, {}, {GestureRegion::anywhere, std::nullopt, std::nullopt}},
        {"one rectangle", GestureRegion::custom, {a}, {GestureRegion::custom, a, std::nullopt}},
        {"two overlapping", GestureRegion::custom, {a, b}, {GestureRegion::custom, {{0.4f, 0, 0.6f, 1}}, Rects{a, b}}},
        {"two apart", GestureRegion::custom, {a, apart}, {GestureRegion::custom, std::nullopt, Rects{a, apart}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GestureRegionButton::applySelection(c.selection, c.rectangles), c.expected);
    }
}

// A rule row: the button over a stored rule, whose choice the row stores as
// one update of that rule.
class RegionButtonRowTest : public RulesViewTest {
protected:
    QWidget row;
    GestureRegionButton* button = new GestureRegionButton(context, false, &row);
    int rulesWrites = 0;

    void store(const GestureRule& stored) {
        core.settings.setRules({stored});
        button->setFields(GestureRegionFields::of(stored));
        QObject::connect(button, &GestureRegionButton::regionChosen, &row, [this](const GestureRegionFields& fields) {
            auto rules = core.settings.rules();
            fields.applyTo(rules.front());
            core.settings.setRules(rules);
        });
        QObject::connect(&core.settings, &ControlSettings::rulesChanged, &row, [this] { ++rulesWrites; });
        row.show();
    }
    RegionSelectionSheet* open() {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_NE(button->sheet(), nullptr);
        return button->sheet();
    }
    bool selected(RegionSelectionSheet* sheet, P preset) {
        return sheet->findChild<QAbstractButton*>(QStringLiteral("quickPreset:") + enumRaw(preset))->isChecked();
    }
};

TEST_F(RegionButtonRowTest, ARuleWithoutRegionStoresAnywhere) {
    store(rule(GestureAction::showDesktop));
    EXPECT_EQ(button->text(), QStringLiteral("全触控板"));
    auto* sheet = open();
    EXPECT_EQ(sheet->model().state(), (RegionSelection{GestureRegion::anywhere, {{0, 0, 1, 1}}, 25}));
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_EQ(rulesWrites, 1);
    EXPECT_EQ(core.settings.rules().front().region, GestureRegion::anywhere);
    EXPECT_EQ(core.settings.rules().front().customRegion, std::nullopt);
    EXPECT_EQ(core.settings.rules().front().customRegions, std::nullopt);
}

TEST_F(RegionButtonRowTest, OverlappingRectanglesAreStoredAsTheirIntersection) {
    store(inCustom(rule(GestureAction::showDesktop), {{0, 0, 0.6f, 1}, {0.4f, 0, 1, 1}}));
    QTest::keyClick(open(), Qt::Key_Return);
    const GestureRule& stored = core.settings.rules().front();
    EXPECT_EQ(rulesWrites, 1) << "one update, not one per field";
    EXPECT_EQ(stored.region, GestureRegion::custom);
    EXPECT_EQ(stored.customRegion, (NormalizedRegionRect{0.4f, 0, 0.6f, 1}));
    EXPECT_EQ(stored.customRegions, std::nullopt);
    EXPECT_EQ(button->text(), QStringLiteral("自定义区域"));
}

TEST_F(RegionButtonRowTest, TheSheetOpensOnTheRulesRegionAndCancelKeepsIt) {
    core.settings.setEdgeWidth(0.08);
    const GestureRule edge = inRegion(rule(GestureAction::showDesktop), GestureRegion::top);
    store(edge);
    auto* sheet = open();
    EXPECT_EQ(sheet->model().state(), (RegionSelection{GestureRegion::top, {{0.08f, 0.92f, 0.92f, 1}}, 25}));
    for (const auto preset : enumAllCases<P>()) EXPECT_FALSE(selected(sheet, preset)) << enumRaw(preset).toStdString();
    QTest::mouseClick(sheet->findChild<QAbstractButton*>(QStringLiteral("quickPreset:left")), Qt::LeftButton);
    QTest::keyClick(sheet, Qt::Key_Escape);
    settle();
    EXPECT_EQ(rulesWrites, 0);
    EXPECT_EQ(core.settings.rules().front(), edge);

    // The width is read when the sheet opens.
    core.settings.setEdgeWidth(0.2);
    EXPECT_EQ(open()->model().rectangles(), (Rects{{0.2f, 0.8f, 0.8f, 1}}));
}

TEST_F(RegionButtonRowTest, APresetRegionOpensAtItsSize) {
    store(inCustom(rule(GestureAction::showDesktop), {{0, 0, 0.75f, 1}}));
    EXPECT_EQ(button->text(), QStringLiteral("左侧 75%"));
    auto* sheet = open();
    EXPECT_EQ(sheet->model().percent(), 75);
    EXPECT_TRUE(selected(sheet, P::left));
    // A second click raises the open sheet rather than opening another.
    button->openSheet();
    EXPECT_EQ(button->sheet(), sheet);
    EXPECT_EQ(row.findChildren<RegionSelectionSheet*>().size(), 1);
}

TEST_F(RegionButtonRowTest, ThePickerIsALabelledFullButton) {
    GestureRegionPicker picker(context);
    QSignalSpy chosen(&picker, &GestureRegionPicker::regionChosen);
    picker.setFields(customFields({{0, 0.5f, 1, 1}}));
    EXPECT_FALSE(picker.button()->isCompact());
    EXPECT_EQ(picker.button()->text(), QStringLiteral("上方 50%"));
    picker.show();
    picker.button()->click();
    QTest::keyClick(picker.button()->sheet(), Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.first().at(0).value<GestureRegionFields>(), customFields({{0, 0.5f, 1, 1}}));

    GestureRegionButton compact(context, true);
    compact.setFields(customFields({{0, 0.5f, 1, 1}}));
    EXPECT_EQ(compact.text(), QStringLiteral("区域"));
    EXPECT_FALSE(compact.autoDefault());
}

TEST_F(RegionButtonRowTest, AnOwnerTornDownWithItsSheetOpenLeavesNoFlagRaised) {
    // A rule row raises no flag of its own: the sheet dies with it and puts
    // back what it found.
    {
        auto* owner = new QWidget;
        auto* rowButton = new GestureRegionButton(context, true, owner);
        owner->show();
        rowButton->click();
        EXPECT_TRUE(controller().isSettingUpGesture());
        delete owner;
        EXPECT_FALSE(controller().isSettingUpGesture());
    }
    // The rule editor raises the flag itself: it closes its sheets first,
    // then lowers it.
    struct Editor : QWidget {
        TrackpadController& controller;
        GestureRegionPicker* picker;
        Editor(UiContext& context) : controller(context.controller), picker(new GestureRegionPicker(context, this)) {
            controller.setSettingUpGesture(true);
        }
        ~Editor() override {
            RegionSelectionSheet::closeSheetsIn(this);
            controller.setSettingUpGesture(false);
        }
    };
    auto* editor = new Editor(context);
    editor->show();
    editor->picker->button()->click();
    ASSERT_NE(editor->picker->button()->sheet(), nullptr);
    delete editor;
    EXPECT_FALSE(controller().isSettingUpGesture());
    EXPECT_FALSE(controller().isControlSuspended());
}

}  // namespace
}  // namespace glidra::test
