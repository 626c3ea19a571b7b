#include "views/rules/GestureRegionPicker.h"

#include "views/kit/StyledLabel.h"
#include "views/rules/GestureRegionButton.h"

#include <QHBoxLayout>

namespace glidra {

GestureRegionPicker::GestureRegionPicker(ViewContext& context, QWidget* parent)
    : QWidget(parent), button_(new GestureRegionButton(context, false)) {
    setObjectName(QStringLiteral("regionPicker"));
    auto* label = new kit::StyledLabel(tr("触发区域"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(button_, 0, Qt::AlignVCenter);
    connect(button_, &GestureRegionButton::regionChosen, this, &GestureRegionPicker::regionChosen);
}

void GestureRegionPicker::setFields(const GestureRegionFields& fields) { button_->setFields(fields); }

const GestureRegionFields& GestureRegionPicker::fields() const { return button_->fields(); }

}  // namespace glidra
