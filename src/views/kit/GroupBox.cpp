#include "views/kit/GroupBox.h"

#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"

#include <QVBoxLayout>

namespace glidra::kit {

GroupBox::GroupBox(const QString& title, QWidget* parent)
    : QWidget(parent),
      title_(new StyledLabel(title, TextStyle::headline)),
      box_(new RoundedBox(KitColour::quaternaryFill, 8)),
      content_(new QVBoxLayout(box_)) {
    title_->setVisible(!title.isEmpty());
    content_->setContentsMargins(inset, inset, inset, inset);
    content_->setSpacing(spacing);
    content_->setAlignment(Qt::AlignTop | Qt::AlignLeading);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(title_);
    layout->addWidget(box_);
}

void GroupBox::setTitle(const QString& title) {
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
}

QString GroupBox::title() const { return title_->text(); }

void GroupBox::addWidget(QWidget* widget) { content_->addWidget(widget); }

}  // namespace glidra::kit
