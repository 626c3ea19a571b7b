#include "support/DecimalCommaLocale.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(localedef, {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                                  QStringLiteral("UTF-8"), target});
        // Exit status 1 means warnings only; what counts is the result.
        if (!process.waitForFinished(60'000) || !QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC"))) {
            result.failure = QStringLiteral("localedef failed: ") + QString::fromLocal8Bit(process.readAll());
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
