#include "hud/MessageHUDView.h"

#include "hud/HUDPanel.h"
#include "views/kit/KitColour.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

constexpr int maximumLines = 2;
constexpr double symbolWidth = 20;
constexpr double spacing = 10;

int capsuleWidth(int panelWidth) {
    return std::clamp(panelWidth - 2 * HUDPanel::padding, MessageHUDView::minimumWidth, MessageHUDView::maximumWidth);
}

double textWidth(int capsuleWidth) { return capsuleWidth - 2 * HUDView::horizontalPadding - symbolWidth - spacing; }

// Wraps at word boundaries (anywhere inside a long word); the last allowed
// line takes the rest of the text, elided.
QStringList wrap(QString text, const QFont& font, double width) {
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const QFontMetricsF metrics(font);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() == maximumLines - 1) {
            QString rest = text.mid(line.textStart());
            rest.replace(QChar::LineSeparator, QLatin1Char(' '));
            lines.append(metrics.elidedText(rest.trimmed(), Qt::ElideRight, width));
            break;
        }
        QString shown = text.mid(line.textStart(), line.textLength());
        shown.remove(QChar::LineSeparator);
        while (!shown.isEmpty() && shown.back().isSpace()) shown.chop(1);
        lines.append(shown);
    }
    layout.endLayout();
    return lines;
}

}  // namespace

MessageHUDView::MessageHUDView(const HUDNotice& notice, int panelWidth, QWidget* parent)
    : HUDView(QSize(capsuleWidth(panelWidth), minimumHeight), parent), notice_(notice) {
    setObjectName(QStringLiteral("messageHUDView"));
    setAccessibleName(notice.text);
    lines_ = wrap(notice.text, textFont(), textWidth(width()));
    const QFontMetricsF metrics(textFont());
    const int textHeight = int(std::ceil(metrics.lineSpacing() * lines_.size())) + 8;
    setFixedSize(width(), std::max(minimumHeight, textHeight));
}

void MessageHUDView::paintContent(QPainter& painter, const QRectF& row) {
    const QColor tint = kit::colour(
        notice_.kind == HUDNotice::Kind::error ? kit::KitColour::orange : kit::KitColour::primary, palette());
    paintSymbol(painter, QRectF(row.x(), row.y(), symbolWidth, row.height()), notice_.symbol, tint);

    const QFont font = textFont();
    const QFontMetricsF metrics(font);
    const double left = row.x() + symbolWidth + spacing;
    const double blockHeight = metrics.lineSpacing() * lines_.size();
    double baseline = row.center().y() - blockHeight / 2 + metrics.ascent();
    painter.setFont(font);
    painter.setPen(kit::colour(kit::KitColour::primary, palette()));
    for (const QString& line : lines_) {
        painter.drawText(QPointF(left, baseline), line);
        baseline += metrics.lineSpacing();
    }
}

}  // namespace glidra
