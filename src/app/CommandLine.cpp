#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

namespace glidra {

namespace {

const char* const kDescription =
    "Runs actions with gestures on the touchpad. Glidra lives in the tray of the\n"
    "desktop session; started while it runs, it opens the running one's settings.";

const char* const kEpilogue =
    "\n"
    "Warnings and failures go to standard error; for debug output of one area or\n"
    "all of them set QT_LOGGING_RULES, for example\n"
    "  QT_LOGGING_RULES='glidra.*.debug=true' glidra\n"
    "The areas: glidra.input, glidra.recognition, glidra.actions, glidra.recovery,\n"
    "glidra.settings, glidra.services.\n"
    "\n"
    "Qt's own command-line options are not taken; its environment variables\n"
    "(QT_QPA_PLATFORM, QT_SCALE_FACTOR, QT_STYLE_OVERRIDE...) are.\n";

void print(const QString& text, std::FILE* stream) {
    if (text.isEmpty()) return;
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

CommandLineOutcome readCommandLine(const QStringList& arguments, const QString& version) {
    const QString program = arguments.isEmpty() ? QStringLiteral("glidra") : QFileInfo(arguments.first()).fileName();
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    // "-platform" is one unknown option, not eight.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Our own options rather than addHelpOption(), which also offers
    // --help-all for Qt's options.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Shows these options and exits."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Shows the version and exits."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);

    const auto failure = [&](const QString& reason) {
        return CommandLineOutcome{
            2, {}, QStringLiteral("%1: %2\nTry '%1 --help' for the options it takes.\n").arg(program, reason)};
    };
    if (!parser.parse(arguments)) return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return failure(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(helpOption)) {
        // QCommandLineParser's usage line names the program by its full path,
        // or, with no application object yet, by a placeholder.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: %1 [options]").arg(program));
        return CommandLineOutcome{0, text + QString::fromLatin1(kEpilogue), {}};
    }
    if (parser.isSet(versionOption)) return CommandLineOutcome{0, QStringLiteral("Glidra %1\n").arg(version), {}};
    return {};
}

std::optional<int> handleCommandLine(int argc, char** argv, const QString& version) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome outcome = readCommandLine(arguments, version);
    print(outcome.output, stdout);
    print(outcome.error, stderr);
    return outcome.exitStatus;
}

}  // namespace glidra
