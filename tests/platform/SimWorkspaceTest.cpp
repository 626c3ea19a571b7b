#include "platform/sim/SimWorkspace.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

TEST(SimWorkspaceTest, RecordsEveryOpenedUrlIncludingRefusedOnes) {
    sim::SimWorkspace workspace;
    const QUrl page(QStringLiteral("https://example.com"));
    const QUrl pane(QStringLiteral("x-apple.systempreferences:com.apple.Keyboard-Settings.extension"));
    EXPECT_TRUE(workspace.openUrl(page));
    workspace.setRefusesToOpen(true);
    EXPECT_FALSE(workspace.openUrl(pane));
    EXPECT_EQ(workspace.openedUrls(), (QList<QUrl>{page, pane}));
}

TEST(SimWorkspaceTest, FindsApplicationsAndBundlesFromItsTables) {
    sim::SimWorkspace workspace;
    workspace.installApplication(QStringLiteral("com.example.a"), QStringLiteral("/Applications/A.app"));
    workspace.addBundle(QStringLiteral("/Applications/A.app"), {QStringLiteral("com.example.a"), QStringLiteral("A")});

    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("com.example.a")), QStringLiteral("/Applications/A.app"));
    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("com.example.b")), std::nullopt);
    EXPECT_EQ(workspace.loadApplicationBundle(QStringLiteral("/Applications/A.app")),
              (ApplicationBundle{QStringLiteral("com.example.a"), QStringLiteral("A")}));

    workspace.uninstallApplication(QStringLiteral("com.example.a"));
    workspace.removeBundle(QStringLiteral("/Applications/A.app"));
    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("com.example.a")), std::nullopt);
    EXPECT_EQ(workspace.loadApplicationBundle(QStringLiteral("/Applications/A.app")), std::nullopt);
}

}  // namespace
}  // namespace glidra
