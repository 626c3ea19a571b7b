#include "views/actions/ShortcutRecorderFieldAccessible.h"

#include "views/actions/ShortcutRecorderField.h"

namespace glidra {

namespace {

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("glidra::ShortcutRecorderField") && object && object->isWidgetType()) {
        return new ShortcutRecorderFieldAccessible(static_cast<ShortcutRecorderField*>(object));
    }
    return nullptr;
}

}  // namespace

ShortcutRecorderFieldAccessible::ShortcutRecorderFieldAccessible(ShortcutRecorderField* field)
    : QAccessibleWidget(field, QAccessible::Button) {}

void ShortcutRecorderFieldAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

ShortcutRecorderField* ShortcutRecorderFieldAccessible::field() const {
    return static_cast<ShortcutRecorderField*>(widget());
}

QAccessible::State ShortcutRecorderFieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = field()->isRecording();
    state.pressed = field()->isRecording();
    return state;
}

QString ShortcutRecorderFieldAccessible::text(QAccessible::Text kind) const {
    switch (kind) {
        case QAccessible::Name:
            return field()->text();
        case QAccessible::Description:
            return field()->accessibleName();
        default:
            return QAccessibleWidget::text(kind);
    }
}

QStringList ShortcutRecorderFieldAccessible::actionNames() const {
    return {pressAction(), toggleAction(), setFocusAction()};
}

void ShortcutRecorderFieldAccessible::doAction(const QString& action) {
    if (action != pressAction() && action != toggleAction()) {
        QAccessibleWidget::doAction(action);
        return;
    }
    ShortcutRecorderField* recorder = field();
    if (recorder->isRecording()) {
        recorder->stopRecording();
        return;
    }
    recorder->setFocus(Qt::OtherFocusReason);
    recorder->startRecording();
}

}  // namespace glidra
