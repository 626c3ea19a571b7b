#include "views/kit/StatusBanner.h"

#include "views/kit/SymbolLabel.h"

#include <QHBoxLayout>

namespace glidra::kit {

StatusBanner::StatusBanner(const QString& symbol, const QString& text, QWidget* parent)
    : RoundedBox(KitColour::quaternary, cornerRadius, parent),
      message_(new SymbolLabel(symbol, text)),
      layout_(new QHBoxLayout(this)) {
    message_->setTextStyle(TextStyle::callout);
    layout_->setContentsMargins(12, 12, 12, 12);
    layout_->setSpacing(12);
    layout_->addWidget(message_, 1);
}

void StatusBanner::setText(const QString& text) { message_->setText(text); }

QString StatusBanner::text() const { return message_->text(); }

void StatusBanner::addTrailingWidget(QWidget* widget) { layout_->addWidget(widget, 0, Qt::AlignVCenter); }

}  // namespace glidra::kit
