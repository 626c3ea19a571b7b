#include "app/ContentView.h"
#include "app/SettingsPageHeader.h"
#include "app/SettingsWindow.h"
#include "app/TrackpadConnectionIndicator.h"
#include "app/TrackpadSetupGuide.h"
#include "app/TrackpadToolbarControls.h"
#include "app/UiContext.h"
#include "platform/sim/SimUserDefaults.h"
#include "settings/ControlSettings.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/ActionIssueView.h"
#include "views/actions/BrowserVideoIssueView.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/StyledLabel.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace glidra {
namespace {

// A page that says which page it is and counts how many of it are alive.
struct PageCounter {
    std::map<SettingsPage, int> built;
    std::map<SettingsPage, int> alive;

    PageFactories factories(std::initializer_list<SettingsPage> pages) {
        PageFactories table;
        for (const auto page : pages) {
            table[page] = [this, page](UiContext&) -> QWidget* {
                ++built[page];
                ++alive[page];
                auto* widget = new QLabel(QStringLiteral("page ") + enumRaw(page));
                widget->setObjectName(QStringLiteral("page"));
                QObject::connect(widget, &QObject::destroyed, [this, page] { --alive[page]; });
                return widget;
            };
        }
        return table;
    }
};

class SettingsWindowTest : public ::testing::Test {
protected:
    // Outlives the harness, which deletes the last pages as it goes.
    PageCounter pages;
    test::UiHarness ui;
    TrackpadController& c = ui.controller;

    std::unique_ptr<ContentView> makeContent(PageFactories table = {}) {
        auto view = std::make_unique<ContentView>(ui.context, std::move(table));
        view->resize(960, 680);
        view->show();
        return view;
    }

    static QString headerTitle(const ContentView& view) {
        const auto* header = view.findChild<SettingsPageHeader*>(QStringLiteral("pageHeader"));
        return header ? header->findChild<QLabel*>(QStringLiteral("pageTitle"))->text() : QString();
    }
    // The banners shown, top to bottom.
    static QStringList banners(const ContentView& view) {
        auto* issues = view.findChild<QWidget*>(QStringLiteral("issues"));
        issues->layout()->activate();
        auto shown = issues->findChildren<kit::StatusBanner*>();
        shown.removeIf([&](const kit::StatusBanner* banner) { return !banner->isVisibleTo(view.window()); });
        std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
        QStringList texts;
        for (auto* banner : shown) texts << banner->objectName() + QLatin1Char(':') + banner->text();
        return texts;
    }
    static void selectRow(ContentView& view, int row) {
        auto* sidebar = view.findChild<QListWidget*>(QStringLiteral("sidebar"));
        QTest::mouseClick(sidebar->viewport(), Qt::LeftButton, {},
                          sidebar->visualItemRect(sidebar->item(row)).center());
        test::UiHarness::flushDeletes();
    }
};

TEST_F(SettingsWindowTest, TheSidebarListsThreePagesAndEachSelectionBuildsItsPageAnew) {
    auto view = makeContent(pages.factories({SettingsPage::gestures, SettingsPage::edges, SettingsPage::general}));
    auto* sidebar = view->findChild<QListWidget*>(QStringLiteral("sidebar"));
    ASSERT_EQ(sidebar->count(), 3);
    EXPECT_EQ(sidebar->item(0)->text(), QStringLiteral("手势"));
    EXPECT_EQ(sidebar->item(1)->text(), QStringLiteral("边缘控制"));
    EXPECT_EQ(sidebar->item(2)->text(), QStringLiteral("通用设置"));
    EXPECT_EQ(view->page(), SettingsPage::gestures);
    EXPECT_EQ(headerTitle(*view), QStringLiteral("手势"));
    EXPECT_EQ(pages.built[SettingsPage::gestures], 1);

    selectRow(*view, 2);
    EXPECT_EQ(view->page(), SettingsPage::general);
    EXPECT_EQ(headerTitle(*view), QStringLiteral("通用设置"));
    EXPECT_EQ(pages.alive[SettingsPage::gestures], 0);
    EXPECT_EQ(pages.alive[SettingsPage::general], 1);

    selectRow(*view, 0);
    EXPECT_EQ(pages.built[SettingsPage::gestures], 2);
    EXPECT_EQ(pages.alive[SettingsPage::general], 0);
}

TEST_F(SettingsWindowTest, EachPageOpensAtItsTop) {
    PageFactories table;
    for (const auto page : {SettingsPage::gestures, SettingsPage::general}) {
        table[page] = [](UiContext&) -> QWidget* {
            auto* tall = new QLabel(QStringLiteral("tall"));
            tall->setMinimumHeight(3000);
            return tall;
        };
    }
    auto view = makeContent(std::move(table));
    auto* bar = view->findChild<QScrollArea*>(QStringLiteral("detailScroll"))->verticalScrollBar();
    const auto settle = [] {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCoreApplication::processEvents();
        }
    };
    for (const auto page : {SettingsPage::general, SettingsPage::gestures}) {
        settle();
        bar->setValue(bar->maximum());
        ASSERT_GT(bar->value(), 0);
        view->setPage(page);
        test::UiHarness::flushDeletes();
        settle();
        EXPECT_EQ(bar->value(), 0) << enumRaw(page).toStdString();
    }
}

TEST_F(SettingsWindowTest, TheGuideShowsOnGesturesAndEdgesOnlyAndNothingSelectedReadsAsGestures) {
    auto view = makeContent(pages.factories({SettingsPage::gestures, SettingsPage::practice}));
    struct Case {
        std::optional<SettingsPage> page;
        const char* header;
        bool guide;
        bool hasPage;
    };
    const Case cases[] = {
        {std::nullopt, "手势", true, true},
        {SettingsPage::edges, "边缘控制", true, false},  // not registered: an empty slot
        {SettingsPage::practice, "练习", false, true},
        {SettingsPage::general, "通用设置", false, false},
        {SettingsPage::gestures, "手势", true, true},
    };
    for (const auto& page : cases) {
        view->setPage(page.page);
        test::UiHarness::flushDeletes();
        const auto where = page.page ? enumRaw(*page.page).toStdString() : std::string("none");
        EXPECT_EQ(headerTitle(*view), QString::fromUtf8(page.header)) << where;
        EXPECT_EQ(view->findChild<TrackpadSetupGuide*>() != nullptr, page.guide) << where;
        EXPECT_EQ(view->pageWidget() != nullptr, page.hasPage) << where;
        // Control is paused: wherever the guide shows, it says so.
        if (auto* guide = view->findChild<TrackpadSetupGuide*>()) {
            EXPECT_EQ(guide->card(), TrackpadSetupGuide::Card::paused) << where;
        }
    }
    // The selection of nothing shows no selected row.
    view->setPage(std::nullopt);
    EXPECT_TRUE(view->findChild<QListWidget*>(QStringLiteral("sidebar"))->selectedItems().isEmpty());
}

// The 5-second clearing of the issue banners, on the manual clock.
TEST_F(SettingsWindowTest, IssueBannersClearFiveSecondsAfterTheirTextAppeared) {
    const QString a = QStringLiteral("找不到应用，请重新选择");
    const QString b = QStringLiteral("未能打开网址");
    auto view = makeContent();

    // The same text twice: the first clearance stands.
    c.setActionIssue(a);
    ui.advanceBy(2);
    c.setActionIssue(a);
    ui.advanceBy(2.9);
    EXPECT_EQ(c.actionIssue(), a);
    ui.advanceBy(0.1);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(banners(*view).isEmpty());

    // A, then B three seconds later: B stays its own five seconds.
    c.setActionIssue(a);
    ui.advanceBy(3);
    c.setActionIssue(b);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(banners(*view), QStringList{QStringLiteral("actionIssue:") + b});
    ui.advanceBy(2);
    EXPECT_EQ(c.actionIssue(), b);
    ui.advanceBy(3);
    EXPECT_EQ(c.actionIssue(), std::nullopt);

    // Dismissed early: cleared at once, and the old clearance does not touch
    // the same text set again later.
    c.setActionIssue(a);
    ui.advanceBy(1);
    test::UiHarness::flushDeletes();
    QTest::mouseClick(view->findChild<ActionIssueView*>()->findChild<QToolButton*>(QStringLiteral("dismissIssue")),
                      Qt::LeftButton);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
    ui.advanceBy(2);
    c.setActionIssue(a);
    ui.advanceBy(3);
    EXPECT_EQ(c.actionIssue(), a);
    ui.advanceBy(2);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
}

TEST_F(SettingsWindowTest, TheVideoBannerClearsTheSameWayAndStandsBelowTheActionBanner) {
    auto view = makeContent();
    c.setVideoControlIssue(QStringLiteral("请先在浏览器中播放视频"));
    ui.advanceBy(1);
    c.setActionIssue(QStringLiteral("未能复制"));
    test::UiHarness::flushDeletes();
    EXPECT_EQ(banners(*view), (QStringList{QStringLiteral("actionIssue:未能复制"),
                                           QStringLiteral("videoControlIssue:请先在浏览器中播放视频")}));
    // Both above the header.
    auto* issues = view->findChild<QWidget*>(QStringLiteral("issues"));
    auto* header = view->findChild<SettingsPageHeader*>();
    EXPECT_LT(issues->geometry().top(), header->geometry().top());
    test::saveForReview(test::pictureOf(*view), QStringLiteral("window-banners"));

    ui.advanceBy(4);
    EXPECT_EQ(c.videoControlIssue(), std::nullopt);
    EXPECT_TRUE(c.actionIssue().has_value());
    ui.advanceBy(1);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
}

TEST_F(SettingsWindowTest, ANewWindowShowsAnUnclearedIssueWithAFreshClearance) {
    c.setActionIssue(QStringLiteral("未能复制"));
    ui.advanceBy(30);  // no window: nothing clears it
    auto view = makeContent();
    EXPECT_EQ(banners(*view), QStringList{QStringLiteral("actionIssue:未能复制")});
    ui.advanceBy(4.9);
    EXPECT_TRUE(c.actionIssue().has_value());
    ui.advanceBy(0.1);
    EXPECT_EQ(c.actionIssue(), std::nullopt);
}

TEST_F(SettingsWindowTest, AFailedSettingsWriteShowsUntilAWriteSucceeds) {
    auto view = makeContent();
    ui.h.defaults.setFailsWrites(true, QStringLiteral("磁盘已满"));
    ui.h.settings.setSensitivity(2.0);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(banners(*view), QStringList{QStringLiteral("settingsWriteFailure:无法保存设置：磁盘已满")});
    ui.advanceBy(10);  // not an action issue: no clearance
    EXPECT_EQ(banners(*view).size(), 1);

    ui.h.defaults.setFailsWrites(false);
    ui.h.settings.setSensitivity(2.0);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(banners(*view).isEmpty());
}

TEST_F(SettingsWindowTest, SettingsTheStoreCouldNotReadAreToldOnceLikeAFailedWrite) {
    sim::SimUserDefaults defaults;
    const QString notice = QStringLiteral(
        "设置文件已损坏，已原样保留为 /home/u/.config/Glidra/settings.json.unreadable-1，现使用默认设置。");
    defaults.setUnreadableNotice(notice);
    ControlSettings settings(defaults);
    ViewContext views = ui.viewsWith(settings, ui.fileDialogs);
    UiContext context{views, ui.context.updates};
    const auto open = [&] {
        auto view = std::make_unique<ContentView>(context, PageFactories{});
        view->resize(960, 680);
        view->show();
        return view;
    };

    EXPECT_EQ(defaults.unreadableNoticeShownCount(), 0);
    auto view = open();
    EXPECT_EQ(banners(*view), QStringList{QStringLiteral("settingsUnreadable:") + notice});
    // Shown: the store does not bring it back at the next start.
    EXPECT_EQ(defaults.unreadableNoticeShownCount(), 1);
    ui.advanceBy(10);  // no clearance
    defaults.setFailsWrites(true, QStringLiteral("磁盘已满"));
    settings.setSensitivity(2.0);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(banners(*view), (QStringList{QStringLiteral("settingsUnreadable:") + notice,
                                           QStringLiteral("settingsWriteFailure:无法保存设置：磁盘已满")}));
    defaults.setFailsWrites(false);
    settings.setSensitivity(2.0);
    test::UiHarness::flushDeletes();

    // A window closed with the banner still up shows it again.
    view = open();
    EXPECT_EQ(banners(*view), QStringList{QStringLiteral("settingsUnreadable:") + notice});
    auto* banner = view->findChild<ActionIssueView*>(QStringLiteral("settingsUnreadable"));
    QTest::mouseClick(banner->findChild<QToolButton*>(QStringLiteral("dismissIssue")), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(banners(*view).isEmpty());
    view = open();
    EXPECT_TRUE(banners(*view).isEmpty());
}

TEST_F(SettingsWindowTest, TheToolbarPausesWhenConnectedAndConnectsOtherwise) {
    auto view = makeContent();
    auto* indicator = view->findChild<TrackpadConnectionIndicator*>();
    auto* button = view->findChild<QToolButton*>(QStringLiteral("controlButton"));
    const QString fixed = QStringLiteral("每 2 秒检查设备连接；实际操作时验证触点数据。闲置不会触发重连。\n");

    EXPECT_FALSE(indicator->isConnected());
    EXPECT_EQ(indicator->findChild<QLabel*>(QStringLiteral("connectionTitle"))->text(), QStringLiteral("未连接"));
    EXPECT_EQ(button->property("symbol").toString(), QStringLiteral("play.fill"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("连接触控板"));
    EXPECT_TRUE(indicator->toolTip().startsWith(fixed));

    // Pressed while paused: connects (switches control on).
    ui.framework.addDevice();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(c.isEnabled());
    EXPECT_TRUE(c.isListening());
    c.setConnectionState(TrackpadConnectionState::idle);  // as the recovery's heartbeat reports
    EXPECT_EQ(indicator->findChild<QLabel*>(QStringLiteral("connectionTitle"))->text(), QStringLiteral("已连接"));
    EXPECT_EQ(button->property("symbol").toString(), QStringLiteral("pause.fill"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("暂停触控板控制"));
    EXPECT_EQ(indicator->toolTip(), fixed + c.status());
    test::saveForReview(test::pictureOf(*view->findChild<TrackpadToolbarControls*>()),
                        QStringLiteral("toolbar-connected"));

    // Reconnecting while on: the play button reconnects instead of pausing.
    c.setConnectionState(TrackpadConnectionState::reconnecting);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(c.isEnabled());
    c.setConnectionState(TrackpadConnectionState::active);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(c.isEnabled());
    EXPECT_EQ(c.connectionState(), TrackpadConnectionState::paused);
}

TEST_F(SettingsWindowTest, TheWindowIsDeletedOnCloseAndPictured) {
    c.setActionIssue(QStringLiteral("未能复制"));
    QPointer<SettingsWindow> window = new SettingsWindow(ui.context, pages.factories({}));
    EXPECT_EQ(window->objectName(), QStringLiteral("controls"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Glidra"));
    // As large as the test's screen lets it be.
    const QSize room = kit::windowRoom(window);
    EXPECT_EQ(window->size(), QSize(960, 680).boundedTo(room));
    EXPECT_EQ(window->minimumSize(), QSize(820, 580).boundedTo(room));
    window->show();
    test::saveForReview(window->grab().toImage(), QStringLiteral("window-gestures"));
    {
        const test::ScopedPalette dark(test::darkPalette());
        test::saveForReview(window->grab().toImage(), QStringLiteral("window-gestures-dark"));
    }
    window->close();
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace glidra
