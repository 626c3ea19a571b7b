#include "platform/sim/SimAccessibilityTrust.h"
#include "support/UiReview.h"
#include "views/actions/ActionIssueView.h"
#include "views/actions/BrowserVideoIssueView.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace glidra {
namespace {

TEST(IssueBannersTest, TheActionBannerShowsTheIssueAndOnlyAClosingButtonOnLinux) {
    sim::SimAccessibilityTrust trust;
    const QString issue = QStringLiteral("需要辅助功能权限 <b>才能</b> 模拟按键");
    for (const bool trusted : {true, false}) {
        trust.setTrusted(trusted);
        const int asked = trust.queries();
        ActionIssueView banner(issue, trust);
        EXPECT_EQ(trust.queries(), asked + 1) << "trust is asked each time the banner is built";
        EXPECT_EQ(banner.issue(), issue);
        EXPECT_EQ(banner.message()->symbol(), QStringLiteral("exclamationmark.circle"));
        // Without a settings pane to open, no permission button either way.
        EXPECT_EQ(banner.findChild<QPushButton*>(QStringLiteral("permissionSettings")), nullptr);
        auto* close = banner.findChild<QToolButton*>(QStringLiteral("dismissIssue"));
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->accessibleName(), QStringLiteral("关闭提示"));
        EXPECT_TRUE(close->toolTip().isEmpty());
        QSignalSpy dismissed(&banner, &ActionIssueView::dismissed);
        banner.show();
        QTest::mouseClick(close, Qt::LeftButton);
        EXPECT_EQ(dismissed.count(), 1);
    }
}

TEST(IssueBannersTest, TheVideoBannerIsSecondaryWithATooltippedCloseTarget) {
    BrowserVideoIssueView banner(QStringLiteral("当前标签页没有正在播放的视频"));
    EXPECT_EQ(banner.message()->label()->colour(), kit::KitColour::secondary);
    auto* close = banner.findChild<QToolButton*>(QStringLiteral("dismissIssue"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->size(), QSize(24, 24));
    EXPECT_EQ(close->toolTip(), QStringLiteral("关闭提示"));
    EXPECT_EQ(close->accessibleName(), QStringLiteral("关闭提示"));
    QSignalSpy dismissed(&banner, &BrowserVideoIssueView::dismissed);
    banner.show();
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(dismissed.count(), 1);
}

TEST(IssueBannersTest, Pictures) {
    sim::SimAccessibilityTrust trust;
    QWidget column;
    auto* layout = new QVBoxLayout(&column);
    layout->addWidget(new ActionIssueView(QStringLiteral("找不到应用，请重新选择"), trust));
    layout->addWidget(new BrowserVideoIssueView(
        QStringLiteral("请先在 Chrome 中开启“允许 Apple 事件中的 JavaScript”，然后再试一次视频进度控制。")));
    column.resize(560, column.sizeHint().height());
    column.show();
    test::saveForReview(test::pictureOf(column), QStringLiteral("issue-banners"));
    const test::ScopedPalette dark(test::darkPalette());
    test::saveForReview(test::pictureOf(column), QStringLiteral("issue-banners-dark"));
}

}  // namespace
}  // namespace glidra
