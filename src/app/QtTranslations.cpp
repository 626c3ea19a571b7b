#include "app/QtTranslations.h"

#include "platform/LogCategories.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

namespace glidra {

bool installQtTranslations(QCoreApplication& application) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&application);
    // "qt" is the catalogue that pulls in qtbase and the other modules'.
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                          folder)) {
        qCWarning(lcServices) << "Qt's Chinese translations were not found in" << folder
                                   << "(install qt6-translations-l10n); Qt's own texts stay English";
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace glidra
