#include "views/kit/Card.h"

#include <QVBoxLayout>

namespace glidra::kit {

Card::Card(QWidget* parent)
    : RoundedBox(KitColour::controlBackground, cornerRadius, parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(12, 12, 12, 12);
    layout_->setSpacing(8);
}

}  // namespace glidra::kit
