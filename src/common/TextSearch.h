#pragma once

#include <QString>
#include <QStringView>

namespace glidra {

// Folds text for loose matching as people expect of a search field: accents,
// letter case and full-width forms are ignored ("Café" ~ "cafe", "ＵＲＬ" ~ "url").
QString foldForSearch(QStringView text);

// Whether `text` contains `needle` after both are folded.
bool searchContains(QStringView text, QStringView needle);

}  // namespace glidra
