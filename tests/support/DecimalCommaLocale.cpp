#include "support/DecimalCommaLocale.h"

#include "support/SpawnedProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <memory>

namespace glidra::test {

namespace {

constexpr char kLocaleName[] = "de_DE.UTF-8";

// Generated once per process: localedef takes a second or two.
struct GeneratedLocale {
    std::unique_ptr<QTemporaryDir> folder;
    QString failure;
};

const GeneratedLocale& generatedLocale() {
    static const GeneratedLocale generated = [] {
        GeneratedLocale result;
        const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
        if (localedef.isEmpty()) {
            result.failure = QStringLiteral("localedef is not installed");
            return result;
        }
        if (!QFileInfo::exists(QStringLiteral("/usr/share/i18n/locales/de_DE"))) {
            result.failure = QStringLiteral("the locale sources are not installed (Debian package locales)");
            return result;
        }
        result.folder = std::make_unique<QTemporaryDir>();
        const QString target = result.folder->filePath(QLatin1StringView(kLocaleName));
        const auto finished = runToEnd(QFile::encodeName(localedef),
                                       {"-i", "de_DE", "-f", "UTF-8", QFile::encodeName(target)}, {}, 60'000);
        // Exit status 1 means warnings only; what counts is the result.
        if (!finished || !QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC"))) {
            result.failure = QStringLiteral("localedef failed: ") +
                             (finished ? QString::fromLocal8Bit(finished->output + finished->log) : QString());
            result.folder.reset();
        }
        return result;
    }();
    return generated;
}

}  // namespace

DecimalCommaLocale::DecimalCommaLocale() : previousQtLocale_(QLocale()) {
    const GeneratedLocale& generated = generatedLocale();
    if (!generated.folder) {
        reason_ = generated.failure;
        return;
    }
    previousCLocale_ = std::setlocale(LC_ALL, nullptr);
    if (qEnvironmentVariableIsSet("LOCPATH")) previousLocPath_ = qgetenv("LOCPATH");
    qputenv("LOCPATH", QFile::encodeName(generated.folder->path()));
    if (!std::setlocale(LC_ALL, kLocaleName) || std::localeconv()->decimal_point != QByteArray(",")) {
        reason_ = QStringLiteral("the generated locale does not load");
        restore();
        return;
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    active_ = true;
}

DecimalCommaLocale::~DecimalCommaLocale() {
    if (active_) restore();
}

void DecimalCommaLocale::restore() {
    QLocale::setDefault(previousQtLocale_);
    std::setlocale(LC_ALL, previousCLocale_.constData());
    if (previousLocPath_) {
        qputenv("LOCPATH", *previousLocPath_);
    } else {
        qunsetenv("LOCPATH");
    }
}

}  // namespace glidra::test
