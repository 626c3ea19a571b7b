#include "views/kit/WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

namespace glidra::kit {

WheelGuard::WheelGuard(QWidget* control) : QObject(control) {
    // Wheel focus would let the turn focus the control and then change it.
    if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(this);
}

void WheelGuard::guard(QWidget* control) {
    if (control && !control->findChild<WheelGuard*>(QString(), Qt::FindDirectChildrenOnly)) new WheelGuard(control);
}

void WheelGuard::guardAllIn(QWidget* root) {
    if (!root) return;
    for (auto* slider : root->findChildren<QAbstractSlider*>()) {
        if (!qobject_cast<QScrollBar*>(slider)) guard(slider);
    }
    for (auto* spinBox : root->findChildren<QAbstractSpinBox*>()) guard(spinBox);
    for (auto* comboBox : root->findChildren<QComboBox*>()) guard(comboBox);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return false;
    auto* control = qobject_cast<QWidget*>(watched);
    if (!control || control->hasFocus()) return false;
    // Ignored and filtered: the application passes it on to the parents, so
    // the scroll area under the control scrolls.
    event->ignore();
    return true;
}

}  // namespace glidra::kit
