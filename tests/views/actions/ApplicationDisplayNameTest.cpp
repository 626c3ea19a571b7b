#include "platform/linux/LinuxWorkspace.h"
#include "platform/sim/SimWorkspace.h"
#include "support/QtPrinters.h"
#include "views/actions/ApplicationDisplayName.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace glidra {
namespace {

TEST(ApplicationDisplayNameTest, NamesTheApplicationInstalledUnderTheIdentifier) {
    struct Case {
        const char* what;
        QString identifier;
        std::optional<QString> entryName;  // installed with this name when set
        QString expected;
    };
    const Case cases[] = {
        {"all applications", QString(), std::nullopt, QStringLiteral("所有应用")},
        {"not installed", QStringLiteral("org.gone.desktop"), std::nullopt, QStringLiteral("指定应用（当前未安装）")},
        {"a plain name", QStringLiteral("a.desktop"), QStringLiteral("文本编辑器"), QStringLiteral("文本编辑器")},
        {"a trailing .app", QStringLiteral("b.desktop"), QStringLiteral("Safari.app"), QStringLiteral("Safari")},
        {"a trailing .APP", QStringLiteral("c.desktop"), QStringLiteral("Safari.APP"), QStringLiteral("Safari")},
        {"only the trailing one", QStringLiteral("d.desktop"), QStringLiteral("Web.apprentice.app"),
         QStringLiteral("Web.apprentice")},
        {".app in the middle", QStringLiteral("e.desktop"), QStringLiteral("My.app Tool"),
         QStringLiteral("My.app Tool")},
        {"an entry that cannot be read", QStringLiteral("f.desktop"), QString(), QStringLiteral("f.desktop")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sim::SimWorkspace workspace;
        if (c.entryName) {
            const QString path = QStringLiteral("/usr/share/applications/") + c.identifier;
            workspace.installApplication(c.identifier, path);
            if (!c.entryName->isEmpty()) workspace.addBundle(path, {c.identifier, *c.entryName});
        }
        EXPECT_EQ(applicationDisplayName(c.identifier, workspace), c.expected);
    }
}

// GLib reads the data folders and the language once per process; gtest runs
// each test in a process of its own here.
TEST(ApplicationDisplayNameTest, ReadsTheDesktopEntrysLocalisedName) {
    const QByteArray language = qgetenv("LANGUAGE");
    qputenv("LANGUAGE", "zh_CN");
    const QString path =
        qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications/glidra-test-notes.desktop");
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile entry(path);
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Notes.app\nName[zh_CN]=便笺.app\nExec=true\n");
    entry.close();

    linux_platform::LinuxWorkspace workspace;
    EXPECT_EQ(applicationDisplayName(QStringLiteral("glidra-test-notes.desktop"), workspace), QStringLiteral("便笺"));
    EXPECT_EQ(applicationDisplayName(QStringLiteral("glidra-test-absent.desktop"), workspace),
              QStringLiteral("指定应用（当前未安装）"));
    qputenv("LANGUAGE", language);
}

}  // namespace
}  // namespace glidra
