#pragma once

#include <QPointer>
#include <QWidget>

namespace glidra::kit {

// Takes a widget out of its layout at once and destroys it later, so that a
// widget whose own signal led here is not destroyed under it.
inline void discard(QWidget* widget) {
    if (!widget) return;
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

template <typename T>
void discard(QPointer<T>& widget) {
    discard(static_cast<QWidget*>(widget.data()));
    widget = nullptr;
}

}  // namespace glidra::kit
