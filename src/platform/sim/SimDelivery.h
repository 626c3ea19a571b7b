#pragma once

#include "common/Completion.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace glidra::sim {

// Resolves `completion` on a later turn of the event loop, the way an answer
// from another process arrives.
template <typename T>
void resolveLater(Completion<T> completion, T value) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [completion, value] { completion.resolve(value); }, Qt::QueuedConnection);
}

}  // namespace glidra::sim
