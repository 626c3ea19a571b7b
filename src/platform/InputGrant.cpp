#include "platform/InputGrant.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace glidra {

namespace {

const QString kShippedSubfolder = QStringLiteral("glidra/udev");

// A word for sh: as it is when it holds nothing sh reads specially, else in
// single quotes.
QString shellWord(const QString& word) {
    const bool plain = !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
        return c.isLetterOrNumber() || QStringLiteral("/._-+:@%,=").contains(c);
    });
    if (plain) return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

QString inputGrantRuleFile(InputGrant grant) {
    switch (grant) {
        case InputGrant::touchpad:
            return QStringLiteral("70-glidra-touchpad.rules");
        case InputGrant::keyboards:
            return QStringLiteral("70-glidra-keyboards.rules");
        case InputGrant::virtualInput:
            return QStringLiteral("70-glidra-uinput.rules");
    }
    return {};
}

QStringList udevRulesFolders() {
    return {userUdevRulesFolder(), QStringLiteral("/run/udev/rules.d"), QStringLiteral("/usr/lib/udev/rules.d"),
            QStringLiteral("/lib/udev/rules.d")};
}

QString shippedInputRulesFolder() {
    // The program's own prefix first: /usr/bin/glidra finds /usr/share, a
    // copy unpacked elsewhere finds its own.
    const QString besideProgram =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + kShippedSubfolder);
    if (QFileInfo(besideProgram).isDir()) return besideProgram;
    const QString found =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, kShippedSubfolder, QStandardPaths::LocateDirectory);
    return found.isEmpty() ? besideProgram : QDir::cleanPath(found);
}

QStringList inputGrantInstallCommands(InputGrant grant, const QString& rulesFolder, bool pkexecInstalled) {
    const QString subsystem = grant == InputGrant::virtualInput ? QStringLiteral("misc") : QStringLiteral("input");
    const QString script = QStringLiteral(
                               "install -m 0644 -t %1 %2 && udevadm control --reload && "
                               "udevadm trigger --subsystem-match=%3")
                               .arg(userUdevRulesFolder(),
                                    shellWord(rulesFolder + QLatin1Char('/') + inputGrantRuleFile(grant)), subsystem);
    QStringList commands{QStringLiteral("su -c ") + shellWord(script)};
    if (pkexecInstalled) commands << QStringLiteral("pkexec sh -c ") + shellWord(script);
    return commands;
}

bool pkexecInstalled() { return !QStandardPaths::findExecutable(QStringLiteral("pkexec")).isEmpty(); }

QString inputGrantInstallInstructions(InputGrant grant, const QString& rulesFolder, bool withPkexec) {
    const QStringList commands = inputGrantInstallCommands(grant, rulesFolder, withPkexec);
    QString text =
        QCoreApplication::translate("Glidra", "以 root 身份在终端中运行：") + QLatin1Char('\n') + commands.first();
    for (qsizetype i = 1; i < commands.size(); ++i) {
        text += QLatin1Char('\n') + QCoreApplication::translate("Glidra", "或者：") + QLatin1Char('\n') + commands[i];
    }
    return text;
}

}  // namespace glidra
