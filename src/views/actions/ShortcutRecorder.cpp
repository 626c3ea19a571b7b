#include "views/actions/ShortcutRecorder.h"

#include "platform/KeyboardLayout.h"
#include "views/ViewContext.h"
#include "views/actions/ShortcutManualEditor.h"
#include "views/actions/ShortcutRecorderField.h"
#include "views/kit/Symbols.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace glidra {

ShortcutRecorder::ShortcutRecorder(const ViewContext& context, QWidget* parent)
    : QWidget(parent),
      layout_(context.keyboardLayout),
      field_(new ShortcutRecorderField(context.controller, context.keyEvents, context.accessibilityTrust,
                                       context.keyboard, context.keyboardLayout)),
      clear_(new QToolButton),
      column_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("shortcutRecorder"));
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(12);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    field_->setMinimumSize(110, 28);
    row->addWidget(field_);
    clear_->setObjectName(QStringLiteral("clearShortcut"));
    clear_->setIcon(kit::symbolIcon(QStringLiteral("xmark.circle"), kit::KitColour::secondary));
    clear_->setAutoRaise(true);
    clear_->setAccessibleName(tr("清除快捷键"));
    clear_->setToolTip(tr("清除快捷键"));
    row->addWidget(clear_);
    row->addStretch(1);
    column_->addLayout(row);

    connect(field_, &ShortcutRecorderField::recorded, this,
            [this](const KeyboardShortcut& shortcut) { change(shortcut); });
    connect(clear_, &QToolButton::clicked, this, [this] {
        field_->stopRecording();
        field_->clearFocus();
        change(std::nullopt);
    });
    refresh();
}

void ShortcutRecorder::setShortcut(const std::optional<KeyboardShortcut>& shortcut) {
    shortcut_ = shortcut;
    refresh();
}

void ShortcutRecorder::change(const std::optional<KeyboardShortcut>& shortcut) {
    shortcut_ = shortcut;
    refresh();
    Q_EMIT shortcutChanged(shortcut_);
}

void ShortcutRecorder::refresh() {
    field_->setRecordedLabel(shortcut_ ? shortcut_->displayLabel() : QString());
    clear_->setVisible(bool(shortcut_));
    const std::optional<QString> label = shortcut_ ? std::optional(shortcut_->label) : std::nullopt;
    if (editor_ && label == editorLabel_) return;
    // A new label starts the editor afresh from the shortcut.
    if (editor_) {
        column_->removeWidget(editor_);
        editor_->hide();
        editor_->deleteLater();
    }
    editor_ = new ShortcutManualEditor(shortcut_, layout_.legends());
    editorLabel_ = label;
    column_->addWidget(editor_);
    connect(editor_, &ShortcutManualEditor::saved, this, [this](const KeyboardShortcut& shortcut) {
        field_->stopRecording();
        field_->clearFocus();
        change(shortcut);
    });
}

}  // namespace glidra
