#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace glidra {
namespace {

const QString kVersion = QStringLiteral("1.2.3");

CommandLineOutcome read(const QStringList& arguments) {
    return readCommandLine(QStringList{QStringLiteral("/usr/bin/glidra")} + arguments, kVersion);
}

TEST(CommandLine, StartsOnlyWithoutArguments) {
    const CommandLineOutcome plain = read({});
    EXPECT_EQ(plain.exitStatus, std::nullopt);
    EXPECT_TRUE(plain.output.isEmpty());
    EXPECT_TRUE(plain.error.isEmpty());

    for (const QString& option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        SCOPED_TRACE(option.toStdString());
        const CommandLineOutcome version = read({option});
        EXPECT_EQ(version.exitStatus, 0);
        EXPECT_EQ(version.output, QStringLiteral("Glidra 1.2.3\n"));
        EXPECT_TRUE(version.error.isEmpty());
    }

    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        SCOPED_TRACE(option.toStdString());
        const CommandLineOutcome help = read({option});
        EXPECT_EQ(help.exitStatus, 0);
        // Named as it was started, not as Qt names a program it cannot see.
        EXPECT_TRUE(help.output.startsWith(QStringLiteral("Usage: glidra [options]\n"))) << help.output.toStdString();
        EXPECT_TRUE(help.output.contains(QStringLiteral("--version")));
        EXPECT_FALSE(help.output.contains(QStringLiteral("--help-all")));
        EXPECT_TRUE(help.output.contains(QStringLiteral("QT_LOGGING_RULES")));
        EXPECT_TRUE(help.error.isEmpty());
    }
}

TEST(CommandLine, AnythingElseIsRefusedWithOneClearLine) {
    struct Case {
        QStringList arguments;
        QString firstLine;
    };
    const Case cases[] = {
        {{QStringLiteral("--bogus")}, QStringLiteral("glidra: Unknown option 'bogus'.")},
        // Qt's own options, one unknown option each rather than a letter soup.
        {{QStringLiteral("-platform"), QStringLiteral("offscreen")},
         QStringLiteral("glidra: Unknown option 'platform'.")},
        {{QStringLiteral("settings.json")}, QStringLiteral("glidra: Unexpected argument 'settings.json'.")},
        // An unknown option spoils a known one: nothing is shown but the fault.
        {{QStringLiteral("--version"), QStringLiteral("--verbose")},
         QStringLiteral("glidra: Unknown option 'verbose'.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLineOutcome outcome = read(c.arguments);
        EXPECT_EQ(outcome.exitStatus, 2);
        EXPECT_TRUE(outcome.output.isEmpty());
        const QStringList lines = outcome.error.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], c.firstLine);
        EXPECT_EQ(lines[1], QStringLiteral("Try 'glidra --help' for the options it takes."));
    }
}

// The program itself answers before it needs a display, a session or a
// non-root user: packaging runs the unpacked one this way.
TEST(CommandLine, TheProgramAnswersVersionAndRefusesUnknownOptions) {
    QProcess glidra;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    glidra.setProcessEnvironment(environment);

    glidra.start(QStringLiteral(GLIDRA_EXECUTABLE), {QStringLiteral("--version")});
    ASSERT_TRUE(glidra.waitForFinished(30'000));
    EXPECT_EQ(glidra.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(glidra.exitCode(), 0);
    EXPECT_EQ(glidra.readAllStandardOutput(), QByteArray("Glidra " GLIDRA_PROJECT_VERSION "\n"));

    glidra.start(QStringLiteral(GLIDRA_EXECUTABLE), {QStringLiteral("--no-such-option")});
    ASSERT_TRUE(glidra.waitForFinished(30'000));
    EXPECT_EQ(glidra.exitCode(), 2);
    EXPECT_TRUE(glidra.readAllStandardError().startsWith("glidra: Unknown option 'no-such-option'.\n"));
    EXPECT_TRUE(glidra.readAllStandardOutput().isEmpty());
}

}  // namespace
}  // namespace glidra
