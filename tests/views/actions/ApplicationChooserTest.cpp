#include "platform/sim/SimFileDialogs.h"
#include "platform/sim/SimWorkspace.h"
#include "support/ApplicationChooserDriver.h"
#include "support/QtPrinters.h"
#include "support/UiReview.h"
#include "views/actions/ApplicationChooser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace glidra {
namespace {

InstalledApplication application(const QString& name, const QString& path = {}) {
    const QString file = path.isEmpty() ? QStringLiteral("/usr/share/applications/%1.desktop").arg(name) : path;
    return {file, ApplicationBundle{QFileInfo(file).fileName(), name}};
}

QStringList namesOf(const std::vector<InstalledApplication>& applications) {
    QStringList names;
    for (const auto& each : applications) names << each.bundle.displayName;
    return names;
}

TEST(ApplicationChooserTest, ListsByNameAsAFileManagerOrdersAFolder) {
    struct Case {
        const char* what;
        QStringList given;
        QStringList expected;
    };
    const Case cases[] = {
        {"Chinese names by their reading, not by code point",
         {QStringLiteral("终端"), QStringLiteral("文件"), QStringLiteral("画图")},
         {QStringLiteral("画图"), QStringLiteral("文件"), QStringLiteral("终端")}},
        {"numbers by value, letter case aside",
         {QStringLiteral("App 10"), QStringLiteral("app 9"), QStringLiteral("app 100")},
         {QStringLiteral("app 9"), QStringLiteral("App 10"), QStringLiteral("app 100")}},
        {"accented letters with their base letter",
         {QStringLiteral("zoom"), QStringLiteral("Écrire"), QStringLiteral("dessin")},
         {QStringLiteral("dessin"), QStringLiteral("Écrire"), QStringLiteral("zoom")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<InstalledApplication> applications;
        for (const QString& name : c.given) applications.push_back(application(name));
        EXPECT_EQ(namesOf(ApplicationChooser::ordered(applications, QLocale(QLocale::Chinese, QLocale::China))),
                  c.expected);
    }

    // The same name twice: by where the entries are, so the order is stable.
    const auto twins = ApplicationChooser::ordered(
        {application(QStringLiteral("终端"), QStringLiteral("/usr/share/applications/b.desktop")),
         application(QStringLiteral("终端"), QStringLiteral("/usr/local/share/applications/a.desktop"))},
        QLocale(QLocale::Chinese, QLocale::China));
    EXPECT_EQ(twins.front().path, QStringLiteral("/usr/local/share/applications/a.desktop"));
}

struct ChooserTest : ::testing::Test {
    sim::SimWorkspace workspace;
    sim::SimFileDialogs fileDialogs;
    QWidget window;

    ChooserTest() {
        for (const QString& name : {QStringLiteral("终端"), QStringLiteral("Firefox ESR"), QStringLiteral("文件"),
                                    QStringLiteral("Écrire")}) {
            const InstalledApplication each = application(name);
            workspace.addMenuApplication(each.path, each.bundle);
        }
        window.resize(600, 600);
        window.show();
    }
    ~ChooserTest() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    ApplicationChooser* open() { return ApplicationChooser::choose(workspace, fileDialogs, &window); }
};

TEST_F(ChooserTest, OpensWithoutWaitingAndReportsTheChosenRowOnce) {
    ApplicationChooser* chooser = open();
    // choose() came back with the sheet up: no loop of its own runs.
    ASSERT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->windowModality(), Qt::WindowModal);
    EXPECT_EQ(chooser->parentWidget(), &window);
    EXPECT_EQ(chooser->listedNames().size(), 4);
    QSignalSpy chosen(chooser, &ApplicationChooser::chosen);

    test::chooseListed(&window, QStringLiteral("Firefox ESR"));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().toString(), QStringLiteral("/usr/share/applications/Firefox ESR.desktop"));
    EXPECT_EQ(test::openChooser(&window), nullptr);
    EXPECT_TRUE(fileDialogs.openRequests().empty());
}

TEST_F(ChooserTest, SearchNarrowsTheListAndReturnTakesTheFirstMatch) {
    ApplicationChooser* chooser = open();
    auto* search = chooser->findChild<QLineEdit*>(QStringLiteral("applicationSearch"));
    auto* choose = chooser->findChild<QPushButton*>(QStringLiteral("choose"));
    ASSERT_TRUE(search->hasFocus() || QApplication::focusWidget() == nullptr);
    QSignalSpy chosen(chooser, &ApplicationChooser::chosen);

    QTest::keyClicks(search, QStringLiteral("ecr"));
    EXPECT_EQ(chooser->listedNames(), QStringList{QStringLiteral("Écrire")}) << "accents and case aside";
    search->clear();
    QTest::keyClicks(search, QStringLiteral("nothing like it"));
    EXPECT_TRUE(chooser->listedNames().isEmpty());
    EXPECT_FALSE(choose->isEnabled()) << "nothing to choose";
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(chosen.count(), 0);

    search->clear();
    // As an input method commits it.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("文"));
    QApplication::sendEvent(search, &composed);
    EXPECT_TRUE(choose->isEnabled());
    QTest::keyClick(search, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().toString(), QStringLiteral("/usr/share/applications/文件.desktop"));
}

TEST_F(ChooserTest, AnEntryElsewhereComesThroughTheFilePanelOverTheChooser) {
    ApplicationChooser* chooser = open();
    QSignalSpy chosen(chooser, &ApplicationChooser::chosen);
    // A cancelled panel leaves the chooser as it was.
    test::chooseFromFile(&window, fileDialogs, std::nullopt);
    EXPECT_EQ(chosen.count(), 0);
    ASSERT_EQ(test::openChooser(&window), chooser);
    ASSERT_EQ(fileDialogs.openRequests().size(), 1u);
    EXPECT_EQ(fileDialogs.lastParent(), chooser);
    EXPECT_EQ(fileDialogs.openRequests().front().directory, QDir::homePath());
    EXPECT_EQ(fileDialogs.openRequests().front().nameFilters, QStringList{QStringLiteral("应用 (*.desktop)")});

    test::chooseFromFile(&window, fileDialogs, QStringLiteral("/home/user/下载/tool.desktop"));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().toString(), QStringLiteral("/home/user/下载/tool.desktop"));

    // Closed while the panel was up: nothing is reported.
    ApplicationChooser* second = open();
    QSignalSpy none(second, &ApplicationChooser::chosen);
    QTest::mouseClick(second->findChild<QPushButton*>(QStringLiteral("chooseApplicationFile")), Qt::LeftButton);
    second->reject();
    fileDialogs.answer(QStringLiteral("/home/user/下载/tool.desktop"));
    EXPECT_EQ(none.count(), 0);
}

TEST_F(ChooserTest, PicturesInLightAndDark) {
    for (const auto& [palette, name] : {std::pair{test::lightPalette(), "application-chooser"},
                                        std::pair{test::darkPalette(), "application-chooser-dark"}}) {
        const test::ScopedPalette scoped(palette);
        ApplicationChooser* chooser = open();
        chooser->resize(420, 360);
        test::saveForReview(test::pictureOf(*chooser), QString::fromLatin1(name));
        chooser->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace
}  // namespace glidra
