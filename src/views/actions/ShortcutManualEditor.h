#pragma once

#include "actions/KeyboardShortcut.h"
#include "actions/ShortcutKeyOption.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QPushButton;

namespace glidra {

namespace kit {
class StyledLabel;
}

// Composes a shortcut without pressing it: a key from the fixed list, the
// modifier switches, presets of the desktop's own combinations, and a preview
// of the label. Only "使用这个快捷键" hands the shortcut out; the owner builds a
// new editor when its shortcut's label changes.
//
// The keys are titled by what they type on the layout of `legends`, and keep
// their US titles when it is empty.
class ShortcutManualEditor : public QWidget {
    Q_OBJECT
public:
    explicit ShortcutManualEditor(const std::optional<KeyboardShortcut>& shortcut,
                                  const KeyboardLayout::Legends& legends = {}, QWidget* parent = nullptr);

    QString keyID() const { return keyID_; }
    // The shortcut's modifier bits of the switches that are on.
    std::uint64_t modifiers() const;
    std::optional<ShortcutKeyOption> selectedOption() const;
    // The label saving would give, or "请选择按键".
    QString preview() const;

    // Sets the key and the switches of a preset; saves nothing.
    void applyPreset(std::uint16_t keyCode, std::uint64_t modifiers);
    void save();

Q_SIGNALS:
    void saved(const glidra::KeyboardShortcut& shortcut);

private:
    void selectKey(const QString& id);
    void setModifiers(std::uint64_t modifiers);
    void refresh();

    std::vector<ShortcutKeyOption> options_;
    QString keyID_;
    // The Fn flag of the shortcut the editor started from, kept as it was:
    // there is no switch for it.
    std::uint64_t function_ = 0;
    // Ctrl, Alt, Shift, Super, in the order they are shown.
    std::array<QAbstractButton*, 4> switches_{};
    QComboBox* keys_;
    kit::StyledLabel* preview_;
    QPushButton* save_;
};

}  // namespace glidra
