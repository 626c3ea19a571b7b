#pragma once

#include <QObject>

class QWidget;

namespace glidra::kit {

// In a scrolling page of live settings, a wheel turn over a slider, spin box
// or combo box would change (and write) a setting while the user only meant
// to scroll. Guarded controls take the wheel only while focused; otherwise the
// turn scrolls the page.
class WheelGuard : public QObject {
    Q_OBJECT
public:
    // Guards one control; the guard lives as long as the control.
    static void guard(QWidget* control);

    // Guards every slider, spin box and combo box inside `root` now.
    static void guardAllIn(QWidget* root);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WheelGuard(QWidget* control);
};

}  // namespace glidra::kit
