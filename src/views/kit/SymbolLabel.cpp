#include "views/kit/SymbolLabel.h"

#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolView.h"

#include <QHBoxLayout>

namespace glidra::kit {

SymbolLabel::SymbolLabel(const QString& symbol, const QString& text, QWidget* parent)
    : QWidget(parent), symbolView_(new SymbolView(symbol)), label_(new StyledLabel(text)) {
    label_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(symbolView_, 0, Qt::AlignTop);
    layout->addWidget(label_, 1);
}

void SymbolLabel::setSymbol(const QString& symbol) { symbolView_->setSymbol(symbol); }

QString SymbolLabel::symbol() const { return symbolView_->symbol(); }

void SymbolLabel::setText(const QString& text) { label_->setText(text); }

QString SymbolLabel::text() const { return label_->text(); }

void SymbolLabel::setColour(KitColour colour) {
    symbolView_->setColour(colour);
    label_->setColour(colour);
}

void SymbolLabel::setTextStyle(TextStyle style, std::optional<QFont::Weight> weight) {
    label_->setTextStyle(style, weight);
    symbolView_->setFont(label_->font());
    symbolView_->updateGeometry();
}

}  // namespace glidra::kit
