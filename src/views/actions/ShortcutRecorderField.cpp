#include "views/actions/ShortcutRecorderField.h"

#include "actions/ShortcutMediaKey.h"
#include "platform/AccessibilityTrust.h"
#include "platform/KeyboardState.h"
#include "trackpad/TrackpadController.h"
#include "views/actions/RecordedKeyEvent.h"

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
                                             QWidget* parent)
    : QLabel(parent), controller_(controller), keyEvents_(keyEvents), trust_(trust), keyboard_(keyboard) {
    setObjectName(QStringLiteral("shortcutField"));
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    // Reached by a click or by Tab, never by the window's first focus: its
    // sheet or page must not start recording by opening.
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("录入快捷键，点击后按键，Escape 取消；系统组合键请使用手动选择"));
    setRecordedLabel({});
}

ShortcutRecorderField::~ShortcutRecorderField() { stopRecording(); }

void ShortcutRecorderField::setRecordedLabel(const QString& label) {
    recordedLabel_ = label.isEmpty() ? tr("点击录入快捷键") : label;
    if (!isRecording_) setText(recordedLabel_);
}

void ShortcutRecorderField::startRecording() {
    isRecording_ = true;
    functionHeld_ = keyboard_.combinedFlags() & modifier_flag::function;
    controller_.setRecordingShortcut(true);
    setText(tr("请按快捷键（Esc 取消）"));
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
    setText(recordedLabel_);
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
        shortcut = KeyboardShortcut{0, kept, modifierSymbols(kept) + title(*media), media};
    } else {
        if (event.type != InputEvent::Type::keyDown || isModifierKeyCode(event.keyCode)) return false;
        // Arrow and function keys carry the Fn flag by themselves; only a
        // held Fn key keeps it.
        std::uint64_t flags = event.flags;
        if (!functionHeld.value_or(functionHeld_)) flags &= ~modifier_flag::function;
        shortcut = KeyboardShortcut::fromRecordedKey(event.keyCode, flags, characters);
    }
    if (shortcut) {
        recordedLabel_ = shortcut->label;
        setText(recordedLabel_);
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
        // Here rather than in keyPressEvent, so Tab is recorded, not focus moved.
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (auto recordedKey = RecordedKeyEvent::from(key)) {
            // The window's key events never carry Fn: the keyboard state does.
            functionHeld_ = keyboard_.combinedFlags() & modifier_flag::function;
            if (functionHeld_) recordedKey->event.flags |= modifier_flag::function;
            record(recordedKey->event, std::nullopt, recordedKey->characters);
        }
        return true;
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        // Not recording: typing never edits the field.
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) return true;
    }
    return QLabel::event(event);
}

void ShortcutRecorderField::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
        startRecording();
    }
}

void ShortcutRecorderField::focusOutEvent(QFocusEvent* event) {
    stopRecording();
    QLabel::focusOutEvent(event);
}

void ShortcutRecorderField::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (hasFocus()) {
        if (!isRecording_) startRecording();
    } else {
        setFocus(Qt::MouseFocusReason);
    }
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
