#pragma once

#include "actions/KeyboardShortcut.h"
#include "platform/InputEvent.h"
#include "platform/KeyEventMonitor.h"

#include <QLabel>

#include <functional>
#include <optional>

namespace glidra {

class AccessibilityTrust;
class KeyboardLayout;
class KeyboardState;
class TrackpadController;

// Records one key combination or media key. Recording starts on a click, or
// on Space or Return while the field has focus, and suspends gesture control;
// reaching the field with Tab only focuses it, and a plain Tab moves on again
// (Tab with a modifier is recorded). While it records it takes every other
// key, Escape and Return included, so the sheet around it neither closes nor
// moves focus.
//
// When trusted, a global key-down monitor is installed too. On Linux it
// reports only while no window of ours has the focus, and recording ends when
// the window loses it, so combinations the desktop keeps for itself (Alt+Tab,
// Super) never reach the field: its hint sends the user to the manual editor
// for those. A press that arrives both ways is recorded once, since the first
// ends the recording.
//
// A key is recorded by its place on the keyboard and titled by what it types
// on the user's layout.
class ShortcutRecorderField : public QLabel {
    Q_OBJECT
public:
    ShortcutRecorderField(TrackpadController& controller, KeyEventMonitor& keyEvents, const AccessibilityTrust& trust,
                          const KeyboardState& keyboard, const KeyboardLayout& layout, QWidget* parent = nullptr);
    ~ShortcutRecorderField() override;

    // The text shown while not recording: the shortcut's label, or the prompt.
    void setRecordedLabel(const QString& label);
    QString recordedLabel() const { return recordedLabel_; }
    bool isRecording() const { return isRecording_; }

    void startRecording();
    void stopRecording();
    // Takes one event while recording; true when the event was consumed.
    // `functionHeld` overrides the field's own view of the Fn key. Without
    // `characters`, the key is titled by what it types on the layout.
    bool record(const InputEvent& event, std::optional<bool> functionHeld = std::nullopt,
                const std::optional<QString>& characters = std::nullopt);

Q_SIGNALS:
    void recorded(const glidra::KeyboardShortcut& shortcut);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Shows `text`, and tells a screen reader.
    void showText(const QString& text);
    void announceRecording();
    void endRecording();
    // A plain Tab or Shift+Tab while recording: ends it and moves the focus.
    bool leaveByTab(const QKeyEvent& key);

    TrackpadController& controller_;
    KeyEventMonitor& keyEvents_;
    const AccessibilityTrust& trust_;
    const KeyboardState& keyboard_;
    const KeyboardLayout& layout_;
    QString recordedLabel_;
    bool isRecording_ = false;
    bool functionHeld_ = false;
    KeyEventMonitor::Token globalMonitor_ = 0;
};

}  // namespace glidra
