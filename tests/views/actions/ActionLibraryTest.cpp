#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/actions/GestureActionCategoryTabs.h"
#include "views/actions/GestureActionIcon.h"
#include "views/actions/GestureActionLibraryView.h"
#include "views/actions/GestureActionListModel.h"
#include "views/actions/GestureActionListView.h"
#include "views/kit/KitColour.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <string_view>

namespace glidra {
namespace {

bool listed(const std::vector<GestureAction>& actions, GestureAction action) {
    return std::find(actions.begin(), actions.end(), action) != actions.end();
}

const DesktopAbilities kEverything{QStringLiteral("GNOME"), true, true, true};

struct LibraryTest : ::testing::Test {
    GestureActionLibraryView library;
    QLineEdit* search = library.findChild<QLineEdit*>(QStringLiteral("actionSearch"));
    QToolButton* clear = library.findChild<QToolButton*>(QStringLiteral("clearSearch"));
    QWidget* empty = library.findChild<QWidget*>(QStringLiteral("emptyState"));

    LibraryTest() {
        // A desktop on which every action can work, unless a test says
        // otherwise.
        library.setDesktopAbilities(kEverything);
        library.resize(300, 700);
        library.show();
    }
    void type(const QString& text) { search->setText(text); }
    QAbstractButton* tab(std::optional<GestureActionCategory> category) {
        return library.findChild<QAbstractButton*>(GestureActionCategoryTabs::tabName(category));
    }
};

TEST_F(LibraryTest, QueriesGiveRowsInCatalogueOrderAndTheCaption) {
    struct Case {
        QString query;
        bool searching;
        std::vector<GestureAction> mustList;  // in this relative order
        std::vector<GestureAction> mustNotList;
        QString caption;
    };
    const Case cases[] = {
        {QStringLiteral("copy"),
         true,
         {GestureAction::copyFilePath, GestureAction::copyPageLink, GestureAction::copyPageTitleAndLink,
          GestureAction::copy},
         {GestureAction::none, GestureAction::paste},
         QStringLiteral("搜索结果")},
        // The raw value of openAccessibilityKeyboard is toggleAccessibilityKeyboard.
        {QStringLiteral("toggle"),
         true,
         {GestureAction::toggleKeyboardLock, GestureAction::openAccessibilityKeyboard},
         {GestureAction::none},
         QStringLiteral("搜索结果")},
        {QStringLiteral("zzzz"), true, {}, {GestureAction::none}, QStringLiteral("搜索结果")},
        // Spaces alone are no search: the common tab stays.
        {QStringLiteral("   "),
         false,
         {GestureAction::mouseLeftClick, GestureAction::playPause},
         {},
         QStringLiteral("常用动作")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        type(c.query);
        EXPECT_EQ(library.isSearching(), c.searching);
        EXPECT_EQ(library.caption(), c.caption);
        const auto actions = library.visibleActions();
        std::ptrdiff_t last = -1;
        for (GestureAction action : c.mustList) {
            const auto at = std::find(actions.begin(), actions.end(), action) - actions.begin();
            ASSERT_LT(std::size_t(at), actions.size()) << title(action).toStdString();
            EXPECT_GT(at, last);
            last = at;
        }
        for (GestureAction action : c.mustNotList) EXPECT_FALSE(listed(actions, action));
        EXPECT_EQ(empty->isVisible(), actions.empty());
        // The raw text decides the clear button.
        EXPECT_EQ(clear->isVisible(), !c.query.isEmpty());
    }
}

TEST_F(LibraryTest, TheCommonTabListsEighteenActionsInItsOrder) {
    const auto actions = library.visibleActions();
    ASSERT_EQ(actions.size(), 18u);
    EXPECT_EQ(actions.front(), GestureAction::mouseLeftClick);
    EXPECT_EQ(actions.back(), GestureAction::playPause);
    EXPECT_TRUE(tab(std::nullopt)->isChecked());
    EXPECT_EQ(GestureActionIcon::tint(GestureAction::scrubVideo), kit::KitColour::orange);
    EXPECT_EQ(GestureActionIcon::tint(GestureAction::toggleMute), kit::KitColour::blue);
    EXPECT_EQ(GestureActionIcon::tint(GestureAction::none), kit::KitColour::accent);
}

TEST_F(LibraryTest, ATabClickedWhileSearchingClearsTheSearchAndShowsItsList) {
    type(QStringLiteral("copy"));
    EXPECT_FALSE(tab(GestureActionCategory::custom)->isChecked());
    QTest::mouseClick(tab(GestureActionCategory::custom), Qt::LeftButton);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_TRUE(tab(GestureActionCategory::custom)->isChecked());
    EXPECT_EQ(library.caption(), QStringLiteral("其他"));
    EXPECT_EQ(library.visibleActions(),
              (std::vector{GestureAction::openFile, GestureAction::openFolder, GestureAction::openURL,
                           GestureAction::runShortcut, GestureAction::customShortcut}));
}

TEST_F(LibraryTest, OnlyARowClickChoosesAnAction) {
    QSignalSpy chosen(&library, &GestureActionLibraryView::actionChosen);
    library.setSelectedAction(GestureAction::openFile);
    QTest::mouseClick(tab(GestureActionCategory::mouse), Qt::LeftButton);
    type(QStringLiteral("窗口"));
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(library.selectedAction(), GestureAction::openFile);

    auto* list = library.findChild<GestureActionListView*>();
    ASSERT_NE(list, nullptr);
    const QModelIndex row = list->indexOf(GestureAction::mouseRightClick);
    ASSERT_TRUE(row.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<GestureAction>(), GestureAction::mouseRightClick);
}

TEST_F(LibraryTest, TheRulesActionIsTheSelectedRowForAssistiveTechnologies) {
    auto* list = library.findChild<GestureActionListView*>();
    library.setSelectedAction(GestureAction::mouseDoubleClick);
    const auto selectedRows = [list] { return list->selectionModel()->selectedIndexes(); };
    ASSERT_EQ(selectedRows().size(), 1);
    EXPECT_EQ(selectedRows().front(), list->indexOf(GestureAction::mouseDoubleClick));
    EXPECT_EQ(selectedRows().front().data(Qt::AccessibleTextRole).toString(), QStringLiteral("鼠标双击，已选择"));
    EXPECT_EQ(list->indexOf(GestureAction::mouseLeftClick).data(Qt::AccessibleTextRole).toString(),
              title(GestureAction::mouseLeftClick));

    // Filtered away and back: still the one selected row.
    type(QStringLiteral("zzzz"));
    EXPECT_TRUE(selectedRows().isEmpty());
    type(QString());
    ASSERT_EQ(selectedRows().size(), 1);
    EXPECT_EQ(selectedRows().front(), list->indexOf(GestureAction::mouseDoubleClick));

    // A click moves the selection with the choice.
    const QModelIndex row = list->indexOf(GestureAction::mouseRightClick);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    ASSERT_EQ(selectedRows().size(), 1);
    EXPECT_EQ(selectedRows().front(), list->indexOf(GestureAction::mouseRightClick));
}

TEST(ActionAvailabilityTest, TheLibrarySaysAtTheActionWhatThisDesktopCannotDo) {
    using A = GestureAction;
    GestureActionListModel model;
    const auto reason = [&model](GestureAction action) {
        return model.index(model.rowOf(action)).data(GestureActionListModel::UnavailableRole);
    };
    const struct {
        const char* what;
        DesktopAbilities desktop;
        std::vector<GestureAction> unavailable;
    } desktops[] = {
        {"bare GNOME",
         {QStringLiteral("GNOME")},
         {A::translateSelection, A::runShortcut, A::toggleDesktopIcons, A::quickLook, A::emojiPicker}},
        {"GNOME with Sushi and Characters",
         {QStringLiteral("ubuntu:GNOME"), false, true, true},
         {A::translateSelection, A::runShortcut, A::toggleDesktopIcons}},
        {"Plasma with its emoji selector",
         {QStringLiteral("KDE"), false, false, true},
         {A::translateSelection, A::runShortcut, A::openControlCenter, A::openNotificationCenter, A::toggleDesktopIcons,
          A::quickLook}},
        {"MATE with its icon switch",
         {QStringLiteral("MATE"), true, false, false},
         {A::translateSelection, A::runShortcut, A::openControlCenter, A::openNotificationCenter, A::quickLook,
          A::emojiPicker}},
    };
    for (const auto& desktop : desktops) {
        SCOPED_TRACE(desktop.what);
        model.setDesktopAbilities(desktop.desktop);
        for (const auto action : enumAllCases<GestureAction>()) {
            if (action == GestureAction::none) continue;
            const bool expected = listed(desktop.unavailable, action);
            EXPECT_EQ(reason(action).isValid(), expected) << enumRaw(action).toStdString();
            EXPECT_EQ(model.isChoosable(action), !expected) << enumRaw(action).toStdString();
            if (expected) {
                EXPECT_TRUE(reason(action).toString().startsWith(QStringLiteral("此桌面不支持这个动作")));
                EXPECT_EQ(model.index(model.rowOf(action)).data(Qt::ToolTipRole), reason(action));
            }
        }
        // The common tab shows only what works here, in its order.
        GestureActionLibraryView library;
        library.setDesktopAbilities(desktop.desktop);
        std::vector<GestureAction> featured;
        for (const auto action : featuredActions()) {
            if (!listed(desktop.unavailable, action)) featured.push_back(action);
        }
        EXPECT_EQ(library.visibleActions(), featured);
        // Its category still lists it, marked.
        QTest::mouseClick(
            library.findChild<QAbstractButton*>(GestureActionCategoryTabs::tabName(GestureActionCategory::editing)),
            Qt::LeftButton);
        EXPECT_TRUE(listed(library.visibleActions(), A::quickLook));
    }
}

TEST_F(LibraryTest, AnActionThatCannotWorkHereIsMarkedAndCannotBeChosen) {
    using A = GestureAction;
    library.setDesktopAbilities(DesktopAbilities{QStringLiteral("GNOME")});
    auto* list = library.findChild<GestureActionListView*>();
    QSignalSpy chosen(&library, &GestureActionLibraryView::actionChosen);
    library.setSelectedAction(A::copy);
    type(QStringLiteral("快捷指令"));
    const QModelIndex row = list->indexOf(A::runShortcut);
    ASSERT_TRUE(row.isValid());
    EXPECT_EQ(row.data(Qt::AccessibleTextRole).toString(), QStringLiteral("运行快捷指令（此桌面不可用）"));
    EXPECT_FALSE(row.flags() & Qt::ItemIsEnabled);

    // Neither a click nor the keyboard binds it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    list->setFocus();
    list->setCurrentIndex(row);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(library.selectedAction(), A::copy);

    // A rule that has it still shows it as its action, marked.
    library.setSelectedAction(A::runShortcut);
    const QModelIndex kept = list->indexOf(A::runShortcut);
    EXPECT_TRUE(list->selectionModel()->isSelected(kept));
    EXPECT_EQ(kept.data(Qt::AccessibleTextRole).toString(), QStringLiteral("运行快捷指令（此桌面不可用），已选择"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(kept).center());
    EXPECT_EQ(chosen.count(), 0);

    // What works here is chosen as ever.
    type(QStringLiteral("复制"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->indexOf(A::copy)).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<GestureAction>(), A::copy);
}

// One category is chosen at a time: to a screen reader the tabs are a
// named group of radio buttons, and the arrow keys move the choice.
TEST_F(LibraryTest, TheCategoryTabsAreARadioGroupThatTheArrowsMove) {
    QAccessibleInterface* common = QAccessible::queryAccessibleInterface(tab(std::nullopt));
    ASSERT_NE(common, nullptr);
    QAccessibleInterface* group = common->parent();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("操作分类"));
    const auto checkedTabs = [&] {
        QStringList names;
        for (int i = 0; i < group->childCount(); ++i) {
            QAccessibleInterface* each = group->child(i);
            EXPECT_EQ(each->role(), QAccessible::RadioButton) << each->text(QAccessible::Name);
            if (each->state().checked) names << each->text(QAccessible::Name);
        }
        return names;
    };
    EXPECT_EQ(group->childCount(), 10);
    EXPECT_EQ(checkedTabs(), QStringList{QStringLiteral("常用动作")});

    // While searching no tab is chosen; clearing the search brings one back.
    type(QStringLiteral("copy"));
    EXPECT_EQ(checkedTabs(), QStringList());
    type(QString());
    EXPECT_EQ(checkedTabs(), QStringList{QStringLiteral("常用动作")});

    library.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&library));
    tab(std::nullopt)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tab(std::nullopt), Qt::Key_Right);
    QAbstractButton* mouse = tab(GestureActionCategory::mouse);
    EXPECT_EQ(QApplication::focusWidget(), mouse);
    EXPECT_EQ(checkedTabs(), QStringList{mouse->text()});
    EXPECT_EQ(library.category(), GestureActionCategory::mouse);
    EXPECT_EQ(library.caption(), mouse->text());
}

TEST(LibraryColoursTest, TabSymbolsAndTheChosenRowsMarkStandOutInEveryPalette) {
    for (const auto& [name, palette] : test::everyPalette()) {
        SCOPED_TRACE(name);
        const test::ScopedPalette scoped(palette);
        GestureActionLibraryView library;
        library.resize(300, 700);
        library.show();
        library.setSelectedAction(GestureAction::mouseDoubleClick);
        const QImage picture = library.grab().toImage();
        const auto inLibrary = [&library](const QWidget* widget, QRect rect) {
            return QRect(widget->mapTo(&library, rect.topLeft()), rect.size());
        };

        // Where each tab's symbol stands: at its leading end.
        for (const auto category :
             {std::optional<GestureActionCategory>(), std::optional(GestureActionCategory::video)}) {
            auto* tab = library.findChild<QAbstractButton*>(GestureActionCategoryTabs::tabName(category));
            ASSERT_NE(tab, nullptr);
            const QRect symbol = inLibrary(tab, QRect(0, 0, 32, tab->height()));
            EXPECT_GE(test::tintedMarkContrast(picture, symbol), kit::graphicContrast)
                << (tab->isChecked() ? "the chosen tab" : "a tab");
        }
        // The mark at the trailing end of the chosen row.
        auto* list = library.findChild<GestureActionListView*>();
        const QRect row = list->visualRect(list->indexOf(GestureAction::mouseDoubleClick));
        ASSERT_TRUE(row.isValid());
        const QRect mark = inLibrary(list->viewport(), QRect(row.right() - 36, row.top(), 36, row.height()));
        EXPECT_GE(test::tintedMarkContrast(picture, mark), kit::graphicContrast) << "the chosen row's mark";
        if (std::string_view(name) == "dark, deep highlight") {
            test::saveForReview(test::pictureOf(library), QStringLiteral("action-library-deep-highlight"));
        }
    }
}

TEST_F(LibraryTest, Pictures) {
    library.setSelectedAction(GestureAction::mouseDoubleClick);
    test::saveForReview(test::pictureOf(library), QStringLiteral("action-library"));
    type(QStringLiteral("zzzz"));
    test::saveForReview(test::pictureOf(library), QStringLiteral("action-library-empty"));
}

}  // namespace
}  // namespace glidra
