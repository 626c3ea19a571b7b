#include "views/kit/TextStyle.h"

#include <QApplication>
#include <QWidget>

namespace glidra::kit {

QFont font(TextStyle style, std::optional<QFont::Weight> weight, const QFont& base) {
    const auto& row = enumRow(style);
    QFont result = base;
    if (base.pointSizeF() > 0) {
        result.setPointSizeF(base.pointSizeF() * row.scale);
    } else {
        result.setPixelSize(std::max(1, qRound(base.pixelSize() * row.scale)));
    }
    result.setWeight(weight.value_or(row.weight));
    return result;
}

void setTextStyle(QWidget* widget, TextStyle style, std::optional<QFont::Weight> weight) {
    widget->setFont(font(style, weight, QApplication::font(widget)));
}

void useApplicationFont() {
    QFont font = QApplication::font();
    QStringList families = font.families();
    if (families.isEmpty()) families.append(font.family());
    families.removeAll(QString::fromLatin1(applicationFontFamily));
    families.prepend(QString::fromLatin1(applicationFontFamily));
    font.setFamilies(families);
    QApplication::setFont(font);
}

}  // namespace glidra::kit
