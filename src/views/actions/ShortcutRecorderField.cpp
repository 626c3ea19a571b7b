#include "views/actions/ShortcutRecorderField.h"

#include "actions/ShortcutMediaKey.h"
#include "platform/AccessibilityTrust.h"
#include "platform/KeyboardLayout.h"
#include "platform/KeyboardState.h"
#include "trackpad/TrackpadController.h"
#include "views/actions/RecordedKeyEvent.h"
#include "views/actions/ShortcutRecorderFieldAccessible.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

namespace glidra {

namespace {

constexpr std::int32_t kAuxiliaryControlButtons = 8;
constexpr std::int64_t kKeyStateMask = 0xFF00;
constexpr std::int64_t kKeyDownState = 0x0A00;

// Modifier keys by their key codes: Command, Shift, Caps Lock, Option,
// Control (left and right), Fn. Pressed alone they record nothing.
bool isModifierKeyCode(std::uint16_t code) { return code >= 54 && code <= 63; }

std::optional<ShortcutMediaKey> mediaKeyOfType(std::int32_t keyType) {
    for (ShortcutMediaKey key : enumAllCases<ShortcutMediaKey>()) {
        if (glidra::keyType(key) == keyType) return key;
    }
    return std::nullopt;
}

}  // namespace

ShortcutRecorderField::ShortcutRecorderField(TrackpadController& controller, KeyEventMonitor& keyEvents,
                                             const AccessibilityTrust& trust, const KeyboardState& keyboard,
                                             const KeyboardLayout& layout, QWidget* parent)
    : QLabel(parent),
      controller_(controller),
      keyEvents_(keyEvents),
      trust_(trust),
      keyboard_(keyboard),
      layout_(layout) {
    ShortcutRecorderFieldAccessible::install();
    setObjectName(QStringLiteral("shortcutField"));
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    // Focus alone never starts recording, so Tab passes through the field.
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("录入快捷键，点击或按空格键后按键，Escape 取消；系统组合键请使用下方的手动选择"));
    setToolTip(tr("Alt+Tab、Super 等由桌面保留的组合键无法录入，请使用下方的手动选择"));
    setRecordedLabel({});
}

ShortcutRecorderField::~ShortcutRecorderField() { stopRecording(); }

void ShortcutRecorderField::setRecordedLabel(const QString& label) {
    recordedLabel_ = label.isEmpty() ? tr("点击录入快捷键") : label;
    if (!isRecording_) showText(recordedLabel_);
}

// What the field shows is its spoken name, and recording its pressed state.
void ShortcutRecorderField::showText(const QString& text) {
    const bool changed = text != this->text();
    setText(text);
    if (changed) {
        QAccessibleEvent named(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
}

void ShortcutRecorderField::announceRecording() {
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void ShortcutRecorderField::startRecording() {
    isRecording_ = true;
    functionHeld_ = keyboard_.combinedFlags() & modifier_flag::function;
    controller_.setRecordingShortcut(true);
    showText(tr("请按快捷键（Esc 取消）"));
    announceRecording();
    if (globalMonitor_ == 0 && trust_.isProcessTrusted()) {
        QPointer<ShortcutRecorderField> self(this);
        globalMonitor_ = keyEvents_.addGlobalKeyDownMonitor([self](const InputEvent& event) {
            if (self && self->isRecording_) self->record(event);
        });
    }
}

void ShortcutRecorderField::stopRecording() {
    if (globalMonitor_ != 0) keyEvents_.removeMonitor(std::exchange(globalMonitor_, 0));
    if (!isRecording_) return;
    isRecording_ = false;
    showText(recordedLabel_);
    announceRecording();
    controller_.setRecordingShortcut(false);
}

bool ShortcutRecorderField::record(const InputEvent& event, std::optional<bool> functionHeld,
                                   const std::optional<QString>& characters) {
    if (!isRecording_) return false;
    std::optional<KeyboardShortcut> shortcut;
    if (event.type == InputEvent::Type::systemDefined) {
        if (event.subtype != kAuxiliaryControlButtons) return false;
        const auto media = mediaKeyOfType(std::int32_t((event.data1 >> 16) & 0xFFFF));
        if (!media) return false;
        // The release of a media key is swallowed and records nothing.
        if ((event.data1 & kKeyStateMask) != kKeyDownState) return true;
        const std::uint64_t kept = event.flags & modifier_flag::shortcutMask;
        shortcut = KeyboardShortcut{0, kept, modifierPrefix(kept) + title(*media), media};
    } else {
        if (event.type != InputEvent::Type::keyDown || isModifierKeyCode(event.keyCode)) return false;
        // Arrow and function keys carry the Fn flag by themselves; only a
        // held Fn key keeps it.
        std::uint64_t flags = event.flags;
        if (!functionHeld.value_or(functionHeld_)) flags &= ~modifier_flag::function;
        std::optional<QString> typed = characters;
        // Keys heard outside the window, and dead keys, come without a
        // character: the layout says what is on them.
        if (!typed || typed->isEmpty()) {
            const KeyboardLayout::Legend legend = layout_.legends().value(event.keyCode);
            typed = legend.plain.isEmpty() ? legend.shifted : legend.plain;
        }
        shortcut = KeyboardShortcut::fromRecordedKey(event.keyCode, flags, typed);
    }
    if (shortcut) {
        recordedLabel_ = shortcut->displayLabel();
        showText(recordedLabel_);
    }
    endRecording();
    if (shortcut) Q_EMIT recorded(*shortcut);
    return true;
}

void ShortcutRecorderField::endRecording() {
    stopRecording();
    if (hasFocus()) clearFocus();
}

bool ShortcutRecorderField::event(QEvent* event) {
    if (isRecording_ && event->type() == QEvent::ShortcutOverride) {
        // Keeps Escape, Return and the window's shortcuts for the field.
        event->accept();
        return true;
    }
    if (isRecording_ && event->type() == QEvent::KeyPress) {
        // Here rather than in keyPressEvent, so Ctrl+Tab is recorded, not
        // focus moved.
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (leaveByTab(key)) return true;
        if (auto recordedKey = RecordedKeyEvent::from(key, layout_)) {
            // The window's key events never carry Fn: the keyboard state does.
            functionHeld_ = keyboard_.combinedFlags() & modifier_flag::function;
            if (functionHeld_) recordedKey->event.flags |= modifier_flag::function;
            record(recordedKey->event, std::nullopt, recordedKey->characters);
        }
        return true;
    }
    return QLabel::event(event);
}

bool ShortcutRecorderField::leaveByTab(const QKeyEvent& key) {
    const bool tab = key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
    if (!tab || (key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) != Qt::NoModifier) return false;
    stopRecording();
    focusNextPrevChild(key.key() == Qt::Key_Tab && !(key.modifiers() & Qt::ShiftModifier));
    return true;
}

void ShortcutRecorderField::keyPressEvent(QKeyEvent* event) {
    // Not recording: Space or Return starts, as a button would; Tab and
    // Shift+Tab move on through the base class; typing never edits the field.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (plain && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        startRecording();
        return;
    }
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ShortcutRecorderField::focusOutEvent(QFocusEvent* event) {
    stopRecording();
    QLabel::focusOutEvent(event);
}

void ShortcutRecorderField::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (!isRecording_) startRecording();
}

void ShortcutRecorderField::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isRecording_) endRecording();
}

void ShortcutRecorderField::hideEvent(QHideEvent* event) {
    stopRecording();
    QLabel::hideEvent(event);
}

}  // namespace glidra
