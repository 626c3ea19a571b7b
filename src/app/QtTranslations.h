#pragma once

class QCoreApplication;

namespace glidra {

// Loads Qt's own Chinese texts (the context menus of text fields, the file
// dialogs' buttons) into the application, as Glidra's own texts are all
// Chinese whatever the locale. Qt's catalogues come from the distribution
// (Debian's qt6-translations-l10n); without them Qt's texts stay English and
// a line on stderr says why. True when they were loaded.
bool installQtTranslations(QCoreApplication& application);

}  // namespace glidra
