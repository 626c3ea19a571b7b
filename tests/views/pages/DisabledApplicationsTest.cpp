#include "support/ApplicationChooserDriver.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/pages/DisabledApplicationsView.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace glidra {
namespace {

const QString kUnreadable = QStringLiteral("无法读取应用标识，请重新选择。");

struct DisabledApplications {
    test::UiHarness ui;
    QWidget window;
    DisabledApplicationsView* view;

    DisabledApplications() : view(new DisabledApplicationsView(ui.context)) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(view);
        layout->addStretch(1);
        window.resize(560, 420);
        window.show();
    }

    void openChooser() {
        QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("addApplication")), Qt::LeftButton);
    }
    // Chooses the desktop entry at `path` through the file panel; the
    // desktop reads it as `bundle` (nothing: not an application).
    void add(const QString& path, std::optional<ApplicationBundle> bundle) {
        if (bundle) ui.workspace.addBundle(path, *bundle);
        openChooser();
        // Only compared: the chooser is gone once it has answered.
        const QWidget* const chooser = test::openChooser(&window);
        test::chooseFromFile(&window, ui.fileDialogs, path);
        panelOverChooser = chooser != nullptr && ui.fileDialogs.lastParent() == chooser;
        test::UiHarness::flushDeletes();
    }
    // The last file panel opened over the chooser.
    bool panelOverChooser = false;
    std::vector<DisabledApplication> stored() const { return ControlSettings(ui.h.defaults).disabledApplications(); }
    QStringList rows() const {
        QStringList shown;
        for (auto* label : view->findChildren<QLabel*>(QStringLiteral("applicationName"))) shown << label->text();
        return shown;
    }
    bool shown(const QString& name) const { return view->findChild<QWidget*>(name)->isVisible(); }
};

ApplicationBundle bundle(const QString& id, const QString& name) { return ApplicationBundle{id, name}; }

TEST(DisabledApplicationsTest, AddsInOrderRefusesWithoutAnIdAndSkipsDuplicates) {
    DisabledApplications section;
    EXPECT_TRUE(section.shown(QStringLiteral("noDisabledApplications")));
    EXPECT_FALSE(section.shown(QStringLiteral("addApplicationError")));

    section.add(QStringLiteral("/usr/share/applications/firefox-esr.desktop"),
                bundle(QStringLiteral("firefox-esr.desktop"), QStringLiteral("Firefox ESR")));
    ASSERT_EQ(section.ui.fileDialogs.openRequests().size(), 1u);
    EXPECT_EQ(section.ui.fileDialogs.openRequests().front().nameFilters,
              QStringList{QStringLiteral("应用 (*.desktop)")});
    EXPECT_FALSE(section.ui.fileDialogs.openRequests().front().choosesDirectories);
    EXPECT_TRUE(section.panelOverChooser) << "the panel opens over the chooser";
    EXPECT_FALSE(section.shown(QStringLiteral("noDisabledApplications")));

    // Not an application, or one without an id: the red line, nothing added.
    section.add(QStringLiteral("/tmp/notes.desktop"), std::nullopt);
    EXPECT_EQ(section.view->errorMessage(), kUnreadable);
    EXPECT_TRUE(section.shown(QStringLiteral("addApplicationError")));
    section.add(QStringLiteral("/tmp/local.desktop"), ApplicationBundle{std::nullopt, QStringLiteral("Local")});
    EXPECT_EQ(section.view->errorMessage(), kUnreadable);
    section.add(QStringLiteral("/tmp/blank.desktop"), bundle(QString(), QStringLiteral("Blank")));
    EXPECT_EQ(section.view->errorMessage(), kUnreadable);

    // Listed already: nothing added, and the earlier error goes.
    section.add(QStringLiteral("/usr/share/applications/firefox-esr.desktop"), std::nullopt);
    EXPECT_TRUE(section.view->errorMessage().isEmpty());
    EXPECT_FALSE(section.shown(QStringLiteral("addApplicationError")));

    // A cancelled panel, or a cancelled chooser, changes nothing.
    section.openChooser();
    test::chooseFromFile(&section.window, section.ui.fileDialogs, std::nullopt);
    ASSERT_NE(test::openChooser(&section.window), nullptr) << "a cancelled panel leaves the chooser open";
    test::cancelChooser(&section.window);
    EXPECT_EQ(test::openChooser(&section.window), nullptr);

    section.add(QStringLiteral("/usr/share/applications/org.gnome.Terminal.desktop"),
                bundle(QStringLiteral("org.gnome.Terminal.desktop"), QStringLiteral("<b>Terminal</b>")));
    const std::vector<DisabledApplication> expected{
        {QStringLiteral("firefox-esr.desktop"), QStringLiteral("Firefox ESR")},
        {QStringLiteral("org.gnome.Terminal.desktop"), QStringLiteral("<b>Terminal</b>")},
    };
    EXPECT_EQ(section.ui.h.settings.disabledApplications(), expected);
    EXPECT_EQ(section.stored(), expected);
    EXPECT_EQ(section.rows(), (QStringList{QStringLiteral("Firefox ESR"), QStringLiteral("<b>Terminal</b>")}));
    for (auto* label : section.view->findChildren<QLabel*>()) EXPECT_EQ(label->textFormat(), Qt::PlainText);
    test::saveForReview(test::pictureOf(section.window), QStringLiteral("disabled-applications"));
}

TEST(DisabledApplicationsTest, AddsAnApplicationChosenFromTheMenusList) {
    DisabledApplications section;
    section.ui.workspace.addMenuApplication(
        QStringLiteral("/usr/share/applications/org.gnome.Terminal.desktop"),
        bundle(QStringLiteral("org.gnome.Terminal.desktop"), QStringLiteral("终端")));
    section.ui.workspace.addMenuApplication(
        QStringLiteral("/usr/share/applications/firefox-esr.desktop"),
        bundle(QStringLiteral("firefox-esr.desktop"), QStringLiteral("Firefox ESR")));
    section.openChooser();
    test::chooseListed(&section.window, QStringLiteral("终端"));
    test::UiHarness::flushDeletes();
    EXPECT_EQ(
        section.stored(),
        (std::vector<DisabledApplication>{{QStringLiteral("org.gnome.Terminal.desktop"), QStringLiteral("终端")}}));
    EXPECT_TRUE(section.ui.fileDialogs.openRequests().empty()) << "no file panel for a listed application";
}

TEST(DisabledApplicationsTest, NamesKeepTheirDotsAndLoseOnlyAnApplicationSuffix) {
    struct Row {
        QString name;
        QString stored;
    };
    const Row rows[] = {
        {QStringLiteral("Node.js"), QStringLiteral("Node.js")},
        {QStringLiteral("draw.io"), QStringLiteral("draw.io")},
        {QStringLiteral("Visual Studio Code.app"), QStringLiteral("Visual Studio Code")},
        {QStringLiteral("Zed.APP"), QStringLiteral("Zed")},
        {QStringLiteral("code.desktop"), QStringLiteral("code")},
        {QStringLiteral("Code.Desktop"), QStringLiteral("Code")},
        {QStringLiteral("app.desktop.bak"), QStringLiteral("app.desktop.bak")},
    };
    DisabledApplications section;
    std::vector<DisabledApplication> expected;
    int index = 0;
    for (const Row& row : rows) {
        const QString id = QStringLiteral("app%1.desktop").arg(index++);
        section.add(QStringLiteral("/usr/share/applications/") + id, bundle(id, row.name));
        expected.push_back(DisabledApplication{id, row.stored});
    }
    EXPECT_EQ(section.ui.h.settings.disabledApplications(), expected);

    // An entry without a name goes by its file's name.
    DisabledApplications unnamed;
    unnamed.add(QStringLiteral("/usr/share/applications/org.example.Tool.desktop"),
                bundle(QStringLiteral("org.example.Tool.desktop"), QString()));
    EXPECT_EQ(unnamed.ui.h.settings.disabledApplications().at(0).name, QStringLiteral("org.example.Tool"));
}

TEST(DisabledApplicationsTest, RemovingActsAtOnceByIdAndPersists) {
    DisabledApplications section;
    // Set elsewhere (an import): shown at once.
    section.ui.h.settings.setDisabledApplications({
        {QStringLiteral("a.desktop"), QStringLiteral("A")},
        {QStringLiteral("b.desktop"), QStringLiteral("B")},
        {QStringLiteral("a.desktop"), QStringLiteral("A again")},
    });
    EXPECT_EQ(section.rows(), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A again")}));

    auto* first = section.view->findChildren<QPushButton*>(QStringLiteral("removeApplication")).at(0);
    EXPECT_EQ(first->accessibleName(), QStringLiteral("移除禁用应用：A"));
    QTest::mouseClick(first, Qt::LeftButton);
    test::UiHarness::flushDeletes();
    const std::vector<DisabledApplication> remaining{{QStringLiteral("b.desktop"), QStringLiteral("B")}};
    EXPECT_EQ(section.ui.h.settings.disabledApplications(), remaining);
    EXPECT_EQ(section.stored(), remaining);
    EXPECT_EQ(section.rows(), QStringList{QStringLiteral("B")});

    QTest::mouseClick(section.view->findChild<QPushButton*>(QStringLiteral("removeApplication")), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(section.stored().empty());
    EXPECT_TRUE(section.shown(QStringLiteral("noDisabledApplications")));
}

}  // namespace
}  // namespace glidra
