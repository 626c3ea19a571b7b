#pragma once

#include "actions/KeyboardShortcut.h"

#include <QWidget>

#include <optional>

class QToolButton;
class QVBoxLayout;

namespace glidra {

class KeyboardLayout;
class ShortcutManualEditor;
class ShortcutRecorderField;
struct ViewContext;

// The shortcut of a customShortcut action: the recording field, a clear
// button while a shortcut is set, and the manual editor below, rebuilt from
// the shortcut whenever its label changes.
class ShortcutRecorder : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutRecorder(const ViewContext& context, QWidget* parent = nullptr);

    // From the owner: no signal.
    void setShortcut(const std::optional<KeyboardShortcut>& shortcut);
    const std::optional<KeyboardShortcut>& shortcut() const { return shortcut_; }

    ShortcutRecorderField* field() const { return field_; }
    ShortcutManualEditor* manualEditor() const { return editor_; }

Q_SIGNALS:
    // A recording, a manual save or the clear button.
    void shortcutChanged(const std::optional<glidra::KeyboardShortcut>& shortcut);

private:
    void change(const std::optional<KeyboardShortcut>& shortcut);
    void refresh();

    std::optional<KeyboardShortcut> shortcut_;
    const KeyboardLayout& layout_;
    ShortcutRecorderField* field_;
    QToolButton* clear_;
    QVBoxLayout* column_;
    ShortcutManualEditor* editor_ = nullptr;
    std::optional<QString> editorLabel_;
};

}  // namespace glidra
