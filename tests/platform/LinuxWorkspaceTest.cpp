#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/XcbConnection.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <map>

namespace glidra {
namespace {

void writeFile(const QString& path, const QByteArray& contents) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

// GLib reads the data folders once per process, so everything that looks
// applications up by id stays in this one test, with its entries written
// before the first lookup.
TEST(LinuxWorkspaceTest, ReadsDesktopEntriesThroughGio) {
    const QString applications = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
    const QString editor = applications + QStringLiteral("/glidra-test-editor.desktop");
    const QString nested = applications + QStringLiteral("/glidra/viewer.desktop");
    const QString link = applications + QStringLiteral("/glidra-test-link.desktop");
    const QString broken = applications + QStringLiteral("/glidra-test-broken.desktop");
    writeFile(editor,
              "[Desktop Entry]\nType=Application\nName=Glidra Editor\nExec=true\nIcon=accessories-text-editor\n");
    writeFile(nested, "[Desktop Entry]\nType=Application\nName=Viewer\nExec=true\n");
    writeFile(link, "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.com\n");
    writeFile(broken, "not a desktop entry\n");
    // What the menus leave out, and a name in the user's language.
    const QString localised = applications + QStringLiteral("/glidra-test-localised.desktop");
    writeFile(localised,
              "[Desktop Entry]\nType=Application\nName=Files\nName[zh_CN]=\xe6\x96\x87\xe4\xbb\xb6\n"
              "Exec=true\nIcon=system-file-manager\n");
    writeFile(applications + QStringLiteral("/glidra-test-hidden.desktop"),
              "[Desktop Entry]\nType=Application\nName=Helper\nExec=true\nNoDisplay=true\n");
    writeFile(applications + QStringLiteral("/glidra-test-kde.desktop"),
              "[Desktop Entry]\nType=Application\nName=KDE Only\nExec=true\nOnlyShowIn=KDE;\n");
    // GNOME's character and emoji picker.
    const QString characters = applications + QStringLiteral("/org.gnome.Characters.desktop");
    writeFile(characters, "[Desktop Entry]\nType=Application\nName=Characters\nExec=true\n");
    // GLib reads both once, at its first use.
    qputenv("LANGUAGE", "zh_CN");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");

    linux_platform::LinuxWorkspace workspace;
    std::map<QString, InstalledApplication> listed;
    for (InstalledApplication& each : workspace.installedApplications()) {
        if (each.bundle.bundleIdentifier) listed.emplace(*each.bundle.bundleIdentifier, std::move(each));
    }
    ASSERT_TRUE(listed.count(QStringLiteral("glidra-test-localised.desktop")));
    EXPECT_EQ(listed.at(QStringLiteral("glidra-test-localised.desktop")),
              (InstalledApplication{localised,
                                    {QStringLiteral("glidra-test-localised.desktop"), QStringLiteral("文件"),
                                     QStringLiteral("system-file-manager")}}));
    EXPECT_TRUE(listed.count(QStringLiteral("glidra-test-editor.desktop")));
    EXPECT_TRUE(listed.count(QStringLiteral("glidra-viewer.desktop")));
    for (const char* left : {"glidra-test-hidden.desktop", "glidra-test-kde.desktop", "glidra-test-link.desktop",
                             "glidra-test-broken.desktop"}) {
        EXPECT_FALSE(listed.count(QString::fromLatin1(left))) << left << " is not in the menus";
    }

    EXPECT_EQ(workspace.loadApplicationBundle(editor),
              (ApplicationBundle{QStringLiteral("glidra-test-editor.desktop"), QStringLiteral("Glidra Editor"),
                                 QStringLiteral("accessories-text-editor")}));
    EXPECT_EQ(workspace.loadApplicationBundle(nested),
              (ApplicationBundle{QStringLiteral("glidra-viewer.desktop"), QStringLiteral("Viewer")}));
    EXPECT_EQ(workspace.loadApplicationBundle(link), std::nullopt);
    EXPECT_EQ(workspace.loadApplicationBundle(broken), std::nullopt);
    EXPECT_EQ(workspace.loadApplicationBundle(applications + QStringLiteral("/missing.desktop")), std::nullopt);

    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("glidra-test-editor.desktop")), editor);
    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("glidra-viewer.desktop")), nested);
    EXPECT_EQ(workspace.applicationLocation(QStringLiteral("glidra-test-missing.desktop")), std::nullopt);
    EXPECT_EQ(workspace.applicationLocation(QString()), std::nullopt);

    EXPECT_EQ(workspace.emojiPickerLocation(), characters);
}

TEST(LinuxWorkspaceTest, LooksForTheRunningDesktopsEmojiPickerFirst) {
    using linux_platform::LinuxWorkspace;
    const QString plasma = QStringLiteral("org.kde.plasma.emojier.desktop");
    const QString gnome = QStringLiteral("org.gnome.Characters.desktop");
    EXPECT_EQ(LinuxWorkspace::emojiPickerCandidates(QStringLiteral("KDE")).mid(0, 2), (QStringList{plasma, gnome}));
    EXPECT_EQ(LinuxWorkspace::emojiPickerCandidates(QStringLiteral("ubuntu:GNOME")).front(), gnome);
    // Elsewhere either serves.
    EXPECT_TRUE(LinuxWorkspace::emojiPickerCandidates(QStringLiteral("XFCE")).contains(plasma));
    EXPECT_TRUE(LinuxWorkspace::emojiPickerCandidates(QStringLiteral("XFCE")).contains(gnome));
}

// Files starts Sushi through the session bus, from the service file in a data
// folder; the user's own folder counts as the system's do.
TEST(LinuxWorkspaceTest, TheFilePreviewerIsThereWhenTheBusCanStartIt) {
    linux_platform::LinuxWorkspace workspace(
        std::make_unique<linux_platform::XcbConnection>(QByteArrayLiteral(":64999")), false);
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    const QString empty = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/../no-data");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(empty));
    const QString service =
        qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/dbus-1/services/org.gnome.NautilusPreviewer.service");
    QFile::remove(service);
    EXPECT_FALSE(workspace.hasFilePreviewer());
    writeFile(service, "[D-BUS Service]\nName=org.gnome.NautilusPreviewer\nExec=/usr/bin/sushi\n");
    EXPECT_TRUE(workspace.hasFilePreviewer());
    QFile::remove(service);
    if (dataDirs.isNull()) {
        qunsetenv("XDG_DATA_DIRS");
    } else {
        qputenv("XDG_DATA_DIRS", dataDirs);
    }
}

TEST(LinuxWorkspaceTest, RefusesUrlsNothingHereCanOpen) {
    linux_platform::LinuxWorkspace workspace;
    EXPECT_FALSE(workspace.openUrl(
        QUrl(QStringLiteral("x-apple.systempreferences:com.apple.Accessibility-Settings.extension?Keyboard"))));
    EXPECT_FALSE(workspace.openUrl(QUrl(QStringLiteral("glidra-no-such-scheme:anything"))));
    EXPECT_FALSE(workspace.openUrl(QUrl()));
}

TEST(LinuxWorkspaceTest, WithoutAnXServerTheFrontApplicationIsUnknownNotAbsent) {
    linux_platform::LinuxWorkspace workspace(
        std::make_unique<linux_platform::XcbConnection>(QByteArrayLiteral(":64999")), false);
    EXPECT_EQ(workspace.frontmostApplication(), FrontApplication::unknown());
    EXPECT_EQ(workspace.bundleIdentifier(), std::nullopt);
    EXPECT_TRUE(workspace.runningApplications().empty());
    EXPECT_FALSE(workspace.activate(1));
    EXPECT_FALSE(workspace.hide(1));
}

TEST(LinuxWorkspaceTest, LooksForTheRunningDesktopsSettingsApplicationFirst) {
    const QStringList onKde = linux_platform::LinuxWorkspace::systemSettingsCandidates(QStringLiteral("KDE"));
    EXPECT_EQ(onKde.mid(0, 2),
              (QStringList{QStringLiteral("systemsettings.desktop"), QStringLiteral("kdesystemsettings.desktop")}));
    EXPECT_TRUE(onKde.contains(QStringLiteral("org.gnome.Settings.desktop")));
    EXPECT_EQ(linux_platform::LinuxWorkspace::systemSettingsCandidates(QStringLiteral("ubuntu:GNOME")).front(),
              QStringLiteral("org.gnome.Settings.desktop"));
    EXPECT_EQ(linux_platform::LinuxWorkspace::systemSettingsCandidates(QStringLiteral("X-Cinnamon")).front(),
              QStringLiteral("cinnamon-settings.desktop"));
    EXPECT_EQ(linux_platform::LinuxWorkspace::systemSettingsCandidates(QString()),
              linux_platform::LinuxWorkspace::systemSettingsCandidates(QStringLiteral("Unknown")));
}

TEST(LinuxWorkspaceTest, LooksForTheRunningDesktopsSystemMonitorFirstAndEachOnce) {
    using linux_platform::LinuxWorkspace;
    EXPECT_EQ(LinuxWorkspace::systemMonitorCandidates(QStringLiteral("KDE")).front(),
              QStringLiteral("org.kde.plasma-systemmonitor.desktop"));
    EXPECT_EQ(LinuxWorkspace::systemMonitorCandidates(QStringLiteral("XFCE")).front(),
              QStringLiteral("xfce4-taskmanager.desktop"));
    const QStringList onCinnamon = LinuxWorkspace::systemMonitorCandidates(QStringLiteral("X-Cinnamon"));
    EXPECT_EQ(onCinnamon.front(), QStringLiteral("org.gnome.SystemMonitor.desktop"));
    EXPECT_EQ(onCinnamon.count(QStringLiteral("gnome-system-monitor.desktop")), 1);
    EXPECT_TRUE(onCinnamon.contains(QStringLiteral("mate-system-monitor.desktop")));
}

}  // namespace
}  // namespace glidra
