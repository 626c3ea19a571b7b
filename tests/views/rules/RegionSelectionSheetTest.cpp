#include "views/kit/StyledLabel.h"
#include "views/rules/RegionQuickPicker.h"
#include "views/rules/RegionSelectionCanvas.h"
#include "views/rules/RegionSelectionSheet.h"
#include "views/rules/RulesViewFixture.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QToolButton>

namespace glidra::test {
namespace {

using Rects = std::vector<NormalizedRegionRect>;

struct Saved {
    GestureRegion selection;
    Rects rectangles;
};

class RegionSelectionSheetTest : public RulesViewTest {
protected:
    QWidget owner;
    std::vector<Saved> saved;

    RegionSelectionSheetTest() {
        owner.resize(700, 500);
        owner.show();
    }

    QPointer<RegionSelectionSheet> openSheet(RegionSelection start) {
        auto* sheet = new RegionSelectionSheet(
            context, std::move(start),
            [this](GestureRegion selection, Rects rectangles) {
                saved.push_back({selection, std::move(rectangles)});
            },
            &owner);
        sheet->open();
        return sheet;
    }

    static QString text(const QWidget* sheet, const char* name) {
        return sheet->findChild<QLabel*>(QLatin1String(name))->text();
    }
    static QPushButton* confirmButton(const QWidget* sheet) {
        return sheet->findChild<QPushButton*>(QStringLiteral("confirm"));
    }
};

TEST_F(RegionSelectionSheetTest, SaysWhatIsChosenAndWhetherItIsUsable) {
    const QString usable = QStringLiteral("从高亮区域开始操作，即可触发。");
    const QString unusable = QStringLiteral("请选择区域，或拖出稍大的范围。");
    struct Case {
        const char* what;
        RegionSelection start;
        QString name;
        std::optional<QString> size;
        bool isUsable;
    };
    const Case cases[] = {
        {"the whole pad",
         {GestureRegion::anywhere, {{0, 0, 1, 1}}, 25},
         QStringLiteral("全触控板"),
         QStringLiteral("宽 100% · 高 100%"),
         true},
        {"a preset edge",
         {GestureRegion::top, {{0.08f, 0.92f, 0.92f, 1}}, 25},
         QStringLiteral("上边缘"),
         QStringLiteral("宽 84% · 高 8%"),
         true},
        {"a quick preset",
         {GestureRegion::custom, {{0, 0, 0.75f, 1}}, 75},
         QStringLiteral("左侧 75%"),
         QStringLiteral("宽 75% · 高 100%"),
         true},
        {"a drawn rectangle",
         {GestureRegion::custom, {{0.1f, 0.2f, 0.65f, 0.7f}}, 25},
         QStringLiteral("自定义区域"),
         QStringLiteral("宽 55% · 高 50%"),
         true},
        {"a rectangle too narrow",
         {GestureRegion::custom, {{0.5f, 0.3f, 0.51f, 0.7f}}, 25},
         QStringLiteral("没有交叉区域"),
         QStringLiteral("宽 1% · 高 40%"),
         false},
        {"two rectangles",
         {GestureRegion::custom, {{0, 0, 0.6f, 1}, {0.4f, 0, 1, 1}}, 25},
         QStringLiteral("交叉区域"),
         QStringLiteral("宽 60% · 高 100%"),
         false},
        {"no rectangle", {GestureRegion::custom, {}, 25}, QStringLiteral("未选择区域"), std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto sheet = openSheet(c.start);
        EXPECT_EQ(text(sheet, "summaryTitle"), c.name);
        auto* size = sheet->findChild<QLabel*>(QStringLiteral("summarySize"));
        EXPECT_EQ(size->isVisible(), c.size.has_value());
        if (c.size) {
            EXPECT_EQ(size->text(), *c.size);
        }
        EXPECT_EQ(text(sheet, "status"), c.isUsable ? usable : unusable);
        EXPECT_EQ(confirmButton(sheet)->isEnabled(), c.isUsable);
        EXPECT_EQ(sheet->isSelectionValid(), c.isUsable);
        sheet->reject();
    }
}

TEST_F(RegionSelectionSheetTest, ReturnConfirmsOnlyAUsableChoiceAndEscapeCancels) {
    // Only "确认" can be the default button, whatever has the focus.
    {
        const auto sheet = openSheet({GestureRegion::anywhere, {{0, 0, 1, 1}}, 25});
        for (auto* button : sheet->findChildren<QPushButton*>()) {
            const bool isConfirm = button == confirmButton(sheet);
            EXPECT_EQ(button->isDefault(), isConfirm) << button->objectName().toStdString();
            if (!isConfirm) {
                EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
            }
        }
        EXPECT_EQ(sheet->width(), 580);

        // The whole pad hands back no rectangles.
        auto* direction = sheet->findChild<QAbstractButton*>(QStringLiteral("quickPreset:top"));
        direction->setFocus();
        QTest::keyClick(direction, Qt::Key_Return);
        EXPECT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved.back().selection, GestureRegion::anywhere);
        EXPECT_TRUE(saved.back().rectangles.empty());
        settle();
        EXPECT_TRUE(sheet.isNull());
    }
    {
        // A chosen preset hands back its rectangle.
        const auto sheet = openSheet({GestureRegion::anywhere, {{0, 0, 1, 1}}, 50});
        QTest::mouseClick(sheet->findChild<QAbstractButton*>(QStringLiteral("quickPreset:top")), Qt::LeftButton);
        QTest::mouseClick(confirmButton(sheet), Qt::LeftButton);
        ASSERT_EQ(saved.size(), 2u);
        EXPECT_EQ(saved.back().selection, GestureRegion::custom);
        EXPECT_EQ(saved.back().rectangles, (Rects{{0, 0.5f, 1, 1}}));
    }
    {
        // An unusable choice keeps the sheet open on Return.
        const auto sheet = openSheet({GestureRegion::custom, {}, 25});
        QTest::keyClick(sheet, Qt::Key_Return);
        EXPECT_EQ(saved.size(), 2u);
        EXPECT_TRUE(sheet->isVisible());
        // Escape cancels, whatever was changed.
        QTest::mouseClick(sheet->findChild<QAbstractButton*>(QStringLiteral("quickPreset:left")), Qt::LeftButton);
        QTest::keyClick(sheet, Qt::Key_Escape);
        EXPECT_EQ(saved.size(), 2u);
        EXPECT_FALSE(sheet->isVisible());
    }
}

TEST_F(RegionSelectionSheetTest, HoldsTheSetupStateWhileOpenAndRestoresWhatItFound) {
    controller().setLearningGesture(true);
    int before = resets();
    auto sheet = openSheet({GestureRegion::anywhere, {{0, 0, 1, 1}}, 25});
    EXPECT_TRUE(controller().isSettingUpGesture());
    EXPECT_FALSE(controller().isLearningGesture());
    EXPECT_TRUE(controller().isControlSuspended());
    EXPECT_EQ(resets(), before + 2) << "one reset per assignment";

    before = resets();
    QTest::mouseClick(sheet->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    EXPECT_FALSE(controller().isSettingUpGesture());
    settle();
    EXPECT_TRUE(sheet.isNull());
    EXPECT_EQ(resets(), before + 1) << "restored once, not again when deleted";

    // Opened from a setup state (the rule editor's), it leaves that state.
    controller().setSettingUpGesture(true);
    sheet = openSheet({GestureRegion::anywhere, {{0, 0, 1, 1}}, 25});
    QTest::keyClick(sheet, Qt::Key_Return);
    settle();
    EXPECT_TRUE(controller().isSettingUpGesture());

    // Deleted while open, it restores too.
    controller().setSettingUpGesture(false);
    sheet = openSheet({GestureRegion::anywhere, {{0, 0, 1, 1}}, 25});
    EXPECT_TRUE(controller().isSettingUpGesture());
    delete sheet.data();
    EXPECT_FALSE(controller().isSettingUpGesture());
}

TEST_F(RegionSelectionSheetTest, PicturesForReview) {
    struct Shot {
        const char* name;
        RegionSelection start;
        std::vector<QPointF> drag;
    };
    const Shot shots[] = {
        {"region-sheet-whole-pad", {GestureRegion::anywhere, {{0, 0, 1, 1}}, 25}, {}},
        {"region-sheet-preset", {GestureRegion::custom, {{0.5f, 0.5f, 1, 1}}, 50}, {}},
        {"region-sheet-too-small", {GestureRegion::anywhere, {{0, 0, 1, 1}}, 25}, {{100, 60}, {103, 160}}},
    };
    for (const auto& shot : shots) {
        const auto sheet = openSheet(shot.start);
        if (!shot.drag.empty()) drag(sheet->findChild<RegionSelectionCanvas*>(), shot.drag);
        review(*sheet, QLatin1String(shot.name));
        sheet->reject();
    }
}

}  // namespace
}  // namespace glidra::test
