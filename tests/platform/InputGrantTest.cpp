#include "platform/InputGrant.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

namespace glidra {
namespace {

const QString kShippedRules = QStringLiteral(GLIDRA_TEST_DATA_DIR "/../../data/udev");

// What /bin/sh prints for `line`.
QString shell(const QString& line) {
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line});
    if (!sh.waitForFinished(10'000)) return {};
    return QString::fromUtf8(sh.readAllStandardOutput());
}

QByteArray rulesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray rules;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith('#')) rules += line.trimmed() + '\n';
    }
    return rules;
}

// Each grant is its rule and nothing else: installing one must not bring
// another's access with it.
TEST(InputGrant, EachShippedRuleGrantsExactlyItsPurpose) {
    struct Case {
        InputGrant grant;
        QByteArray rule;
    };
    const Case cases[] = {
        {InputGrant::touchpad, R"(SUBSYSTEM=="input", KERNEL=="event*", ENV{ID_INPUT_TOUCHPAD}=="1", TAG+="uaccess")"},
        {InputGrant::keyboards, R"(SUBSYSTEM=="input", KERNEL=="event*", ENV{ID_INPUT_KEYBOARD}=="1", TAG+="uaccess")"},
        {InputGrant::virtualInput,
         R"(SUBSYSTEM=="misc", KERNEL=="uinput", OPTIONS+="static_node=uinput", TAG+="uaccess")"},
    };
    QStringList named;
    for (const Case& c : cases) {
        SCOPED_TRACE(inputGrantRuleFile(c.grant).toStdString());
        EXPECT_EQ(rulesOf(kShippedRules + QLatin1Char('/') + inputGrantRuleFile(c.grant)), c.rule + '\n');
        named << inputGrantRuleFile(c.grant);
    }
    // And no other rule file ships.
    named.sort();
    EXPECT_EQ(QDir(kShippedRules).entryList({QStringLiteral("*.rules")}, QDir::Files, QDir::Name), named);
}

// The commands work where sudo is missing: su always, pkexec only where it is
// there to run; each runs one script that installs the rule and applies it.
TEST(InputGrant, EachCommandRunsTheSameScriptAsRootWithoutSudo) {
    const QString script = QStringLiteral(
        "'install -m 0644 -t /etc/udev/rules.d /usr/share/glidra/udev/70-glidra-touchpad.rules && udevadm control "
        "--reload && udevadm trigger --subsystem-match=input'");
    EXPECT_EQ(inputGrantInstallCommands(InputGrant::touchpad, QStringLiteral("/usr/share/glidra/udev"), false),
              QStringList{QStringLiteral("su -c ") + script});
    EXPECT_EQ(inputGrantInstallCommands(InputGrant::touchpad, QStringLiteral("/usr/share/glidra/udev"), true),
              (QStringList{QStringLiteral("su -c ") + script, QStringLiteral("pkexec sh -c ") + script}));
    // /dev/uinput is a misc device.
    EXPECT_TRUE(
        inputGrantInstallCommands(InputGrant::virtualInput, QStringLiteral("/usr/local/share/glidra/udev"), false)
            .first()
            .endsWith(QStringLiteral("/usr/local/share/glidra/udev/70-glidra-uinput.rules && udevadm "
                                     "control --reload && udevadm trigger --subsystem-match=misc'")));

    // The label says they run as root and offers each command on a line of
    // its own, so that one line copies whole.
    const QStringList lines =
        inputGrantInstallInstructions(InputGrant::touchpad, QStringLiteral("/usr/share/glidra/udev"), true)
            .split(u'\n');
    EXPECT_EQ(lines, (QStringList{QStringLiteral("以 root 身份在终端中运行："), QStringLiteral("su -c ") + script,
                                  QStringLiteral("或者："), QStringLiteral("pkexec sh -c ") + script}));
    EXPECT_EQ(inputGrantInstallInstructions(InputGrant::touchpad, QStringLiteral("/usr/share/glidra/udev"), false)
                  .count(u'\n'),
              1);
}

TEST(InputGrant, AFolderShWouldSplitOrReadSpeciallySurvivesBothQuotings) {
    // The outer sh gets the script as one word, the script the path as one.
    const QString folder = QStringLiteral("/home/li wei/it's $HOME \"x\"/udev");
    for (const QString& command : inputGrantInstallCommands(InputGrant::keyboards, folder, true)) {
        SCOPED_TRACE(command.toStdString());
        const QString prefix =
            command.startsWith(QStringLiteral("su")) ? QStringLiteral("su -c ") : QStringLiteral("pkexec sh -c ");
        ASSERT_TRUE(command.startsWith(prefix));
        const QString script = shell(QStringLiteral("printf '%s' ") + command.mid(prefix.size()));
        const QString install = QStringLiteral("install -m 0644 -t /etc/udev/rules.d ");
        ASSERT_TRUE(script.startsWith(install)) << script.toStdString();
        const QString installed = script.mid(install.size()).section(QStringLiteral(" && "), 0, 0);
        EXPECT_EQ(shell(QStringLiteral("printf '%s' ") + installed),
                  folder + QStringLiteral("/70-glidra-keyboards.rules"));
    }
}

// Found on the PATH, as the shell would find it.
TEST(InputGrant, PkexecIsOfferedOnlyWhereItIsOnThePath) {
    const QString bin = test::temporaryHome() + QStringLiteral("/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin));
    EXPECT_FALSE(pkexecInstalled());
    QFile pkexec(bin + QStringLiteral("/pkexec"));
    ASSERT_TRUE(pkexec.open(QIODevice::WriteOnly));
    pkexec.close();
    ASSERT_TRUE(pkexec.setPermissions(pkexec.permissions() | QFileDevice::ExeOwner));
    EXPECT_TRUE(pkexecInstalled());
    EXPECT_TRUE(inputGrantInstallInstructions(InputGrant::keyboards, QStringLiteral("/usr/share/glidra/udev"))
                    .contains(QStringLiteral("\npkexec sh -c ")));
    qputenv("PATH", saved);
}

TEST(InputGrant, TheShippedRulesAreFoundInTheDataFolders) {
    const QString data = test::temporaryHome() + QStringLiteral("/data");
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/glidra/udev")));
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(data));
    EXPECT_EQ(shippedInputRulesFolder(), data + QStringLiteral("/glidra/udev"));
    // Nowhere: the folder beside the program, where an installation has it.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(test::temporaryHome() + QStringLiteral("/nothing")));
    EXPECT_TRUE(shippedInputRulesFolder().endsWith(QStringLiteral("/share/glidra/udev")));
    qputenv("XDG_DATA_DIRS", saved);
}

}  // namespace
}  // namespace glidra
