#include "executors/ApplicationSwitcher.h"
#include "platform/sim/SimWorkspace.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

const QString kOwn = QStringLiteral("glidra.desktop");

RunningApplication app(std::int32_t pid, const QString& id, const QString& name = {},
                       ActivationPolicy policy = ActivationPolicy::regular) {
    return {pid, id, name, policy, false};
}

const HUDNotice kNoPrevious = test::notice("暂无可切换的上一个应用", "app", HUDNotice::Kind::information);

TEST(ApplicationHistoryTest, KeepsEachApplicationOnceMostRecentFirstAndAtMostTwenty) {
    ApplicationHistory history;
    for (const char* id : {"a", "b", "a"}) history.record(QString::fromLatin1(id));
    EXPECT_EQ(history.applications, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    for (int i = 0; i < 21; ++i) history.record(QStringLiteral("app%1").arg(i));
    ASSERT_EQ(history.applications.size(), 20);
    EXPECT_EQ(history.applications.front(), QStringLiteral("app20"));
    EXPECT_EQ(history.applications.back(), QStringLiteral("app1"));
}

TEST(ApplicationHistoryTest, PreviousSkipsTheFrontApplicationAndQuitOnes) {
    ApplicationHistory history;
    for (const char* id : {"c", "b", "a"}) history.record(QString::fromLatin1(id));  // a, b, c
    const QSet<QString> running{QStringLiteral("a"), QStringLiteral("c")};
    EXPECT_EQ(history.previous(QStringLiteral("a"), running), QStringLiteral("c")) << "b has quit";
    EXPECT_EQ(history.previous(std::nullopt, running), QStringLiteral("a"));
    EXPECT_EQ(history.previous(QStringLiteral("a"), {QStringLiteral("a")}), std::nullopt);
}

class ApplicationSwitcherTest : public ::testing::Test {
protected:
    sim::SimWorkspace workspace;

    void SetUp() override {
        workspace.launch(app(10, QStringLiteral("firefox.desktop"), QStringLiteral("Firefox")));
        workspace.launch(app(20, QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("文本编辑器")));
        workspace.launch(app(30, kOwn, QStringLiteral("Glidra")));
        workspace.launch(
            app(40, QStringLiteral("panel.desktop"), QStringLiteral("Panel"), ActivationPolicy::accessory));
        workspace.launch(app(50, QStringLiteral("org.gnome.Terminal.desktop")));
        workspace.bringToFront(10);
    }
};

TEST_F(ApplicationSwitcherTest, StartsWithTheFrontApplicationAndFollowsActivations) {
    ApplicationSwitcher switcher(workspace, kOwn);
    EXPECT_EQ(switcher.history().applications, QStringList{QStringLiteral("firefox.desktop")});

    workspace.bringToFront(20);
    workspace.bringToFront(10);
    EXPECT_EQ(switcher.history().applications,
              (QStringList{QStringLiteral("firefox.desktop"), QStringLiteral("org.gnome.TextEditor.desktop")}));

    EXPECT_EQ(switcher.switchToPrevious(),
              test::notice("文本编辑器", "arrow.left.arrow.right.square", HUDNotice::Kind::success));
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{20});
    EXPECT_EQ(switcher.history().applications.front(), QStringLiteral("org.gnome.TextEditor.desktop"))
        << "the switch is itself an activation";
}

TEST_F(ApplicationSwitcherTest, TheProgramsOwnWindowAndAccessoryApplicationsNeverEnterTheHistory) {
    ApplicationSwitcher switcher(workspace, kOwn);
    workspace.bringToFront(20);
    workspace.bringToFront(40);
    workspace.bringToFront(30);  // the settings window
    EXPECT_EQ(switcher.history().applications,
              (QStringList{QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("firefox.desktop")}));

    // From the settings window, the switch goes to the application used last.
    EXPECT_EQ(switcher.switchToPrevious().text, QStringLiteral("文本编辑器"));
}

TEST_F(ApplicationSwitcherTest, AnApplicationWithoutANameSwitchesUnderAGenericTitle) {
    ApplicationSwitcher switcher(workspace, kOwn);
    workspace.bringToFront(50);
    workspace.bringToFront(10);
    EXPECT_EQ(switcher.switchToPrevious(),
              test::notice("切换应用", "arrow.left.arrow.right.square", HUDNotice::Kind::success));
}

TEST_F(ApplicationSwitcherTest, NothingToSwitchToWhenOnlyTheFrontOrQuitApplicationsAreRecorded) {
    ApplicationSwitcher switcher(workspace, kOwn);
    EXPECT_EQ(switcher.switchToPrevious(), kNoPrevious) << "only the front application";

    workspace.bringToFront(20);
    workspace.bringToFront(10);
    workspace.terminate(20);
    EXPECT_EQ(switcher.switchToPrevious(), kNoPrevious) << "the previous one has quit";
    EXPECT_TRUE(workspace.activated().isEmpty());
}

TEST_F(ApplicationSwitcherTest, ARefusedActivationIsReportedAsNothingToSwitchTo) {
    ApplicationSwitcher switcher(workspace, kOwn);
    workspace.bringToFront(20);
    workspace.bringToFront(10);
    workspace.setRefusesActivation(20, true);
    EXPECT_EQ(switcher.switchToPrevious(), kNoPrevious);
    EXPECT_EQ(workspace.activated(), QList<std::int32_t>{20});
}

TEST_F(ApplicationSwitcherTest, AnUnknownFrontApplicationExcludesNothing) {
    ApplicationSwitcher switcher(workspace, kOwn);
    workspace.bringToFront(20);
    // A native Wayland window has the focus: the last known application is
    // the one to go back to.
    workspace.setFront(FrontApplication::unknown());
    EXPECT_EQ(switcher.switchToPrevious().text, QStringLiteral("文本编辑器"));
}

TEST_F(ApplicationSwitcherTest, StartingToObserveAgainBeginsAFreshHistory) {
    ApplicationSwitcher switcher(workspace, kOwn);
    workspace.bringToFront(20);
    switcher.startObserving();
    EXPECT_EQ(switcher.history().applications, QStringList{QStringLiteral("org.gnome.TextEditor.desktop")});
    workspace.bringToFront(10);
    EXPECT_EQ(switcher.history().applications.size(), 2) << "one observation, not two";
}

}  // namespace
}  // namespace glidra
