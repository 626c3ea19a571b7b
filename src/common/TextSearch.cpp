#include "common/TextSearch.h"

namespace glidra {

QString foldForSearch(QStringView text) {
    // Compatibility decomposition splits accented letters into base + mark and
    // maps full-width forms to their plain ones; the marks are then dropped.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark()) folded.append(c);
    }
    return folded.toCaseFolded();
}

bool searchContains(QStringView text, QStringView needle) {
    return foldForSearch(text).contains(foldForSearch(needle), Qt::CaseInsensitive);
}

}  // namespace glidra
