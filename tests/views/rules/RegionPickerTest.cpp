#include "views/kit/KitColour.h"
#include "views/kit/SegmentedControl.h"
#include "views/rules/RegionQuickPicker.h"
#include "views/rules/RegionSelectionCanvas.h"
#include "views/rules/RegionSelectionModel.h"
#include "views/rules/RulesViewFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QToolButton>
#include <QVBoxLayout>

namespace glidra::test {
namespace {

using P = RegionQuickPreset;
using Rects = std::vector<NormalizedRegionRect>;

// The picker and the canvas over one selection, as the sheet has them.
struct PickerAndCanvas {
    RegionSelectionModel model;
    QWidget window;
    RegionQuickPicker* picker;
    RegionSelectionCanvas* canvas;

    explicit PickerAndCanvas(RegionSelection start = {GestureRegion::anywhere, {{0, 0, 1, 1}}, 25})
        : model(std::move(start)), picker(new RegionQuickPicker(model)), canvas(new RegionSelectionCanvas(model)) {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(picker);
        layout->addWidget(canvas);
        window.resize(600, 400);
        window.show();
        EXPECT_EQ(canvas->size(), QSize(600, 260));
    }

    void chooseSize(int percent) {
        auto* sizes = picker->findChild<kit::SegmentedControl*>(QStringLiteral("percent"));
        const auto index = std::find(RegionQuickPicker::sizes.begin(), RegionQuickPicker::sizes.end(), percent) -
                           RegionQuickPicker::sizes.begin();
        QTest::mouseClick(sizes, Qt::LeftButton, {}, sizes->segmentRect(int(index)).center());
    }
    void clickPreset(P preset) { QTest::mouseClick(picker->directionButton(preset), Qt::LeftButton); }
    std::vector<P> selectedPresets() const {
        std::vector<P> selected;
        for (const auto preset : enumAllCases<P>()) {
            if (picker->directionButton(preset)->isChecked()) selected.push_back(preset);
        }
        return selected;
    }
};

TEST(RegionPickerTest, PresetsAtEachSizeGiveTheirRectangles) {
    struct Case {
        P preset;
        int percent;
        NormalizedRegionRect expected;
    };
    const Case cases[] = {
        {P::top, 50, {0, 0.5f, 1, 1}},     {P::center, 25, {0.375f, 0.375f, 0.625f, 0.625f}},
        {P::right, 25, {0.75f, 0, 1, 1}},  {P::topLeft, 75, {0, 0.25f, 0.75f, 1}},
        {P::bottom, 75, {0, 0, 1, 0.75f}}, {P::bottomRight, 50, {0.5f, 0, 1, 0.5f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.preset).toStdString() + " at " + std::to_string(c.percent));
        PickerAndCanvas view;
        view.chooseSize(c.percent);
        view.clickPreset(c.preset);
        EXPECT_EQ(view.model.selection(), GestureRegion::custom);
        EXPECT_EQ(view.model.rectangles(), Rects{c.expected});
        EXPECT_EQ(view.selectedPresets(), std::vector<P>{c.preset});
        EXPECT_EQ(view.picker->directionButton(c.preset)->accessibleName(),
                  title(c.preset) + QStringLiteral(" %1%").arg(c.percent));
    }
}

TEST(RegionPickerTest, ASizeChangeResizesAChosenPresetOnly) {
    PickerAndCanvas view;
    view.clickPreset(P::right);
    view.chooseSize(75);
    EXPECT_EQ(view.model.rectangles(), (Rects{{0.25f, 0, 1, 1}}));
    EXPECT_EQ(view.selectedPresets(), std::vector<P>{P::right});

    // The whole pad is no preset: no direction is selected and a size change
    // leaves it.
    QTest::mouseClick(view.picker->findChild<QToolButton*>(QStringLiteral("selectWholeTrackpad")), Qt::LeftButton);
    EXPECT_EQ(view.model.selection(), GestureRegion::anywhere);
    EXPECT_EQ(view.model.rectangles(), (Rects{{0, 0, 1, 1}}));
    EXPECT_TRUE(view.selectedPresets().empty());
    view.chooseSize(25);
    EXPECT_EQ(view.model.rectangles(), (Rects{{0, 0, 1, 1}}));

    // A drawn rectangle stays as drawn...
    drag(view.canvas, {{60, 26}, {300, 130}});
    const Rects drawn = view.model.rectangles();
    view.chooseSize(50);
    EXPECT_EQ(view.model.rectangles(), drawn);
    // ...unless it happens to be a preset: then it is one, and resizes.
    view.chooseSize(25);
    drag(view.canvas, {{0, 0}, {150, 65}});
    EXPECT_EQ(view.model.rectangles(), (Rects{{0, 0.75f, 0.25f, 1}}));
    EXPECT_EQ(view.selectedPresets(), std::vector<P>{P::topLeft});
    view.chooseSize(50);
    EXPECT_EQ(view.model.rectangles(), (Rects{{0, 0.5f, 0.5f, 1}}));
}

TEST(RegionPickerTest, TheSizesAndDirectionsAreNamedAndValuedForAssistiveTechnologies) {
    PickerAndCanvas view({GestureRegion::custom, {{0, 0.5f, 0.5f, 1}}, 50});
    QAccessibleInterface* sizes = QAccessible::queryAccessibleInterface(
        view.picker->findChild<kit::SegmentedControl*>(QStringLiteral("percent")));
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->text(QAccessible::Name), QStringLiteral("区域比例"));
    EXPECT_EQ(sizes->text(QAccessible::Value), QStringLiteral("50%"));
    QStringList options;
    for (int i = 0; i < sizes->childCount(); ++i) options << sizes->child(i)->text(QAccessible::Name);
    EXPECT_EQ(options, (QStringList{QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%")}));

    // A press on "75%" resizes the chosen direction, as a click does.
    sizes->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(view.model.percent(), 75);
    EXPECT_EQ(sizes->text(QAccessible::Value), QStringLiteral("75%"));
    QAccessibleInterface* topLeft = QAccessible::queryAccessibleInterface(view.picker->directionButton(P::topLeft));
    EXPECT_EQ(topLeft->text(QAccessible::Name), title(P::topLeft) + QStringLiteral(" 75%"));
    EXPECT_TRUE(topLeft->state().checkable);
    EXPECT_TRUE(topLeft->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(view.picker->directionButton(P::top))->state().checked);
}

TEST(RegionPickerTest, ShowingAPresetChangesNothing) {
    // A rule whose region is the left preset at 75 opens at that size.
    PickerAndCanvas view({GestureRegion::custom, {{0, 0, 0.75f, 1}}, 75});
    EXPECT_EQ(view.model.rectangles(), (Rects{{0, 0, 0.75f, 1}}));
    EXPECT_EQ(view.selectedPresets(), std::vector<P>{P::left});
    EXPECT_EQ(view.picker->findChild<kit::SegmentedControl*>(QStringLiteral("percent"))->currentIndex(), 2);
}

TEST(RegionPickerTest, CanvasDragsDrawAndTapsPlaceThePresetOfTheCell) {
    // On a 600 x 260 canvas the grid lines lie at x = 200, 400 and
    // y = 86.67, 173.33; the presets are drawn at 50.
    const auto at = [](double x, double y) {
        return NormalizedRegionRect{float(x / 600), float(1 - y / 260), float(x / 600), float(1 - y / 260)};
    };
    const auto span = [&](QPointF a, QPointF b) {
        const auto low = at(std::min(a.x(), b.x()), std::max(a.y(), b.y()));
        const auto high = at(std::max(a.x(), b.x()), std::min(a.y(), b.y()));
        return NormalizedRegionRect{low.minX, low.minY, high.maxX, high.maxY};
    };
    struct Case {
        const char* what;
        std::vector<QPointF> path;
        NormalizedRegionRect expected;
    };
    const Case cases[] = {
        {"a drag", {{60, 26}, {200, 90}, {300, 130}}, span({60, 26}, {300, 130})},
        {"the reverse drag", {{300, 130}, {60, 26}}, span({60, 26}, {300, 130})},
        {"a drag out of the canvas", {{300, 130}, {700, -50}}, {0.5f, 0.5f, 1, 1}},
        {"a drag of exactly 3 points", {{100, 40}, {103, 40}}, span({100, 40}, {103, 40})},
        {"a tap in the upper-left ninth", {{100, 40}}, {0, 0.5f, 0.5f, 1}},
        {"a tap in the middle of the top third", {{300, 40}}, {0, 0.5f, 1, 1}},
        {"a tap on the first vertical grid line", {{200, 130}}, {0, 0, 0.5f, 1}},
        {"a tap on the second vertical grid line", {{400, 130}}, {0.5f, 0, 1, 1}},
        {"a tap on the upper horizontal grid line", {{300, 260.0 / 3}}, {0, 0.5f, 1, 1}},
        {"a tap on the lower horizontal grid line", {{300, 260 - 260.0 / 3}}, {0, 0, 1, 0.5f}},
        {"a move under 3 points", {{560, 250}, {562, 248}, {562.9, 247.1}}, {0.5f, 0, 1, 0.5f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PickerAndCanvas view({GestureRegion::anywhere, {{0, 0, 1, 1}}, 50});
        drag(view.canvas, c.path);
        EXPECT_EQ(view.model.selection(), GestureRegion::custom);
        EXPECT_EQ(view.model.rectangles(), Rects{c.expected});
    }
}

TEST(RegionPickerTest, CanvasHighlightsOnlyAUsableRegion) {
    PickerAndCanvas view({GestureRegion::custom, {{0, 0.5f, 0.5f, 1}}, 50});
    const auto sample = [&](QPoint at) { return view.canvas->grab().toImage().pixelColor(at); };
    // Inside the upper-left quarter the accent tints the pad; outside it does not.
    EXPECT_GT(sample({100, 40}).blue(), sample({100, 40}).red() + 20);
    EXPECT_LT(std::abs(sample({450, 200}).blue() - sample({450, 200}).red()), 8);
    // The border lies inside the region, in the accent, and stands out of the tint.
    const QColor border = sample({1, 60});
    EXPECT_GT(border.blue(), border.red() + 40);
    EXPECT_GE(kit::contrastRatio(border, sample({100, 40})), kit::graphicContrast);

    // A drag 2 points high is under 0.02 of the pad: nothing is highlighted.
    drag(view.canvas, {{100, 100}, {300, 102}});
    EXPECT_LT(std::abs(sample({200, 101}).blue() - sample({200, 101}).red()), 8);
}

}  // namespace
}  // namespace glidra::test
