#include "views/actions/ResourceTargetPicker.h"

#include "platform/FileDialogs.h"
#include "views/actions/TargetIcon.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace glidra {

ResourceTargetPicker::ResourceTargetPicker(FileDialogs& dialogs, bool selectsFolder, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      selectsFolder_(selectsFolder),
      placeholder_(new kit::SymbolLabel(selectsFolder ? QStringLiteral("folder") : QStringLiteral("doc"),
                                        selectsFolder ? tr("选择文件夹") : tr("选择文件"))),
      icon_(new QLabel),
      name_(new kit::StyledLabel),
      choose_(new QPushButton) {
    setObjectName(QStringLiteral("resourcePicker"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    placeholder_->setObjectName(QStringLiteral("resourcePlaceholder"));
    placeholder_->setColour(kit::KitColour::secondary);
    row->addWidget(placeholder_);
    icon_->setFixedSize(24, 24);
    row->addWidget(icon_);
    name_->setObjectName(QStringLiteral("resourceName"));
    name_->setWordWrap(true);
    row->addWidget(name_, 1);
    row->addStretch(0);
    choose_->setObjectName(QStringLiteral("chooseResource"));
    row->addWidget(choose_);
    connect(choose_, &QPushButton::clicked, this, &ResourceTargetPicker::chooseResource);
    refresh();
}

void ResourceTargetPicker::setSelection(const std::optional<ResourceTarget>& selection) {
    selection_ = selection;
    refresh();
}

void ResourceTargetPicker::chooseResource() {
    FileDialogs::OpenRequest request;
    request.choosesDirectories = selectsFolder_;
    request.acceptLabel = tr("选择");
    dialogs_.openFile(window(), request, this,
                      [self = QPointer<ResourceTargetPicker>(this)](std::optional<QString> path) {
                          if (self && path) self->resourceChosen(*path);
                      });
}

void ResourceTargetPicker::resourceChosen(const QString& path) {
    // Linux has no bookmarks: the action works from the path alone.
    setSelection(ResourceTarget{path, QFileInfo(path).fileName(), std::nullopt});
    Q_EMIT selectionChanged(selection_);
}

void ResourceTargetPicker::refresh() {
    placeholder_->setVisible(!selection_);
    icon_->setVisible(bool(selection_));
    name_->setVisible(bool(selection_));
    if (selection_) {
        icon_->setPixmap(targetIcon(selection_->path).pixmap(24, 24));
        // Two lines at most: the full path is in the tooltip.
        name_->setText(selection_->name);
        name_->setMaximumHeight(2 * name_->fontMetrics().lineSpacing());
        name_->setToolTip(selection_->path);
    }
    choose_->setText(selection_ ? tr("更换…") : tr("选择…"));
}

}  // namespace glidra
