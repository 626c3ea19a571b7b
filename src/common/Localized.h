#pragma once

#include <QCoreApplication>
#include <QString>

namespace glidra {

// User texts are looked up with the Chinese text as the key, as tr() does for
// QObjects; plain values use this one translation context.
inline QString localized(const char* sourceText) { return QCoreApplication::translate("Glidra", sourceText); }

}  // namespace glidra

// Marks a table's text for extraction without translating it in place.
#define GLIDRA_TEXT(text) QT_TRANSLATE_NOOP("Glidra", text)
