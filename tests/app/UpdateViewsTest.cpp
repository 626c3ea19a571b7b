#include "app/UpdateSettingsView.h"
#include "app/UpdateSidebarButton.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace glidra {
namespace {

const QString kFeed = QStringLiteral("https://updates.glidra.example/appcast.xml");
const QString kKey = QString::fromLatin1(QByteArray(32, '\x07').toBase64());

struct UpdateViews {
    test::UiHarness ui;
    QWidget page;
    UpdateSettingsView* section;
    UpdateSidebarButton* sidebarButton;

    explicit UpdateViews(bool configured) {
        if (configured) {
            ui.bundle.feedURL = kFeed;
            ui.bundle.publicEDKey = kKey;
        }
        ui.updates.start();
        section = new UpdateSettingsView(ui.updates, ui.bundle);
        sidebarButton = new UpdateSidebarButton(ui.updates);
        auto* layout = new QVBoxLayout(&page);
        layout->addWidget(section);
        layout->addWidget(sidebarButton);
        layout->addStretch(1);
        page.resize(560, 260);
        page.show();
    }
    sim::SimUpdater& updater() { return *ui.updaters.last(); }
    QPushButton* check() { return section->findChild<QPushButton*>(QStringLiteral("checkForUpdates")); }
};

TEST(UpdateViewsTest, WithoutAFeedThereIsNoSectionAndNoSidebarButton) {
    UpdateViews views(false);
    EXPECT_FALSE(views.section->isVisible());
    EXPECT_FALSE(views.sidebarButton->isVisible());
}

TEST(UpdateViewsTest, TheSectionShowsTheVersionChecksAndSwitches) {
    UpdateViews views(true);
    views.updater().deliver();
    ASSERT_TRUE(views.section->isVisible());
    EXPECT_EQ(views.section->findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Glidra 1.2（34）"));
    EXPECT_EQ(views.section->findChild<QLabel*>(QStringLiteral("updateStatus"))->text(),
              QStringLiteral("发现新版本后提醒，安装前由你确认。"));
    EXPECT_EQ(views.check()->text(), QStringLiteral("检查更新…"));
    QTest::mouseClick(views.check(), Qt::LeftButton);
    EXPECT_EQ(views.updater().checkCount(), 1);

    auto* automatic = views.section->findChild<kit::SwitchRow*>(QStringLiteral("automaticallyChecksForUpdates"));
    EXPECT_TRUE(automatic->isChecked());
    QTest::mouseClick(automatic->switchControl(), Qt::LeftButton);
    EXPECT_EQ(views.updater().automaticCheckWrites(), std::vector<bool>{false});
    views.updater().deliver();
    EXPECT_EQ(views.updater().automaticCheckWrites().size(), 1u);

    // A newer version: both buttons say so; busy: both are disabled.
    EXPECT_FALSE(views.sidebarButton->isVisible());
    views.updater().findUpdate();
    views.updater().deliver();
    EXPECT_TRUE(views.sidebarButton->isVisible());
    EXPECT_EQ(views.check()->text(), QStringLiteral("发现新版本…"));
    EXPECT_EQ(views.sidebarButton->text(), QStringLiteral("有新版本"));
    EXPECT_EQ(views.sidebarButton->toolTip(), QStringLiteral("查看新版本并更新 Glidra"));
    test::saveForReview(test::pictureOf(views.page), QStringLiteral("update-section"));
    QTest::mouseClick(views.sidebarButton, Qt::LeftButton);
    EXPECT_EQ(views.updater().checkCount(), 2);

    views.updater().setCanCheck(false);
    views.updater().deliver();
    EXPECT_FALSE(views.check()->isEnabled());
    EXPECT_FALSE(views.sidebarButton->isEnabled());

    views.updater().userChooses(Updater::Choice::skip);
    views.updater().deliver();
    EXPECT_FALSE(views.sidebarButton->isVisible());
}

TEST(UpdateViewsTest, AMissingBuildNumberLeavesEmptyParentheses) {
    BundleInfo bundle = test::sampleBundle();
    bundle.version.reset();
    EXPECT_EQ(UpdateSettingsView::versionText(bundle), QStringLiteral("Glidra 1.2（）"));
    bundle.shortVersion.reset();
    EXPECT_EQ(UpdateSettingsView::versionText(bundle), QStringLiteral("Glidra （）"));
}

}  // namespace
}  // namespace glidra
