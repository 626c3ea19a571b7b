#include "views/kit/SwitchRow.h"

#include "views/kit/StyledLabel.h"
#include "views/kit/Switch.h"

#include <QHBoxLayout>

namespace glidra::kit {

SwitchRow::SwitchRow(const QString& text, QWidget* parent)
    : QWidget(parent), label_(new StyledLabel(text)), switch_(new Switch) {
    label_->setWordWrap(true);
    switch_->setAccessibleName(text);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_, 1);
    layout->addWidget(switch_, 0, Qt::AlignVCenter);
    connect(switch_, &Switch::clicked, this, &SwitchRow::clicked);
}

void SwitchRow::setText(const QString& text) {
    label_->setText(text);
    switch_->setAccessibleName(text);
}

QString SwitchRow::text() const { return label_->text(); }

void SwitchRow::setChecked(bool checked) { switch_->setChecked(checked); }

bool SwitchRow::isChecked() const { return switch_->isChecked(); }

}  // namespace glidra::kit
