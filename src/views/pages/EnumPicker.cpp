#include "views/pages/EnumPicker.h"

#include "views/kit/StyledLabel.h"

#include <QHBoxLayout>

namespace glidra {

QWidget* titledPicker(const QString& title, kit::SegmentedControl* picker) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new kit::StyledLabel(title);
    label->setBuddy(picker);
    picker->setAccessibleName(title);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addWidget(picker, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    return row;
}

}  // namespace glidra
