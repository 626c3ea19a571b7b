#pragma once

#include "gestures/GestureBinding.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QVBoxLayout;

namespace glidra {

class ActionParameterEditor;
class ApplicationTargetPicker;
class ControlSettings;
class ShortcutRecorder;
class SlideDistancePicker;
struct ViewContext;

// One slide direction of a split edge: its action, and what that action
// needs (slide distance, parameters, application or shortcut). The row holds
// its trigger, not the binding: it reads the stored binding of that trigger
// when it syncs and writes every change straight back.
class GestureBindingRow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int titleWidth = 100;
    static constexpr int menuWidth = 220;

    GestureBindingRow(ViewContext& context, GestureTrigger trigger, QWidget* parent = nullptr);

    GestureTrigger trigger() const { return trigger_; }

    // The first stored binding of the trigger; nothing when the list has none.
    std::optional<GestureBinding> binding() const;

    QComboBox* actionMenu() const { return actionMenu_; }
    // The controls the current action shows, rebuilt when the action changes.
    QWidget* controls() const { return controls_; }

    // The action menu: "关闭", then each category's actions under a header
    // that cannot be chosen. Items carry the action's raw value; those this
    // desktop cannot run are marked and cannot be chosen.
    QComboBox* makeActionMenu() const;

private:
    void sync();
    void rebuildControls(GestureAction action);
    void edit(const std::function<void(GestureBinding&)>& change);

    ViewContext& context_;
    ControlSettings& settings_;
    GestureTrigger trigger_;
    QComboBox* actionMenu_;
    QVBoxLayout* column_;
    QPointer<QWidget> controls_;
    std::optional<GestureAction> shownAction_;
    QPointer<SlideDistancePicker> slideDistance_;
    QPointer<ActionParameterEditor> parameters_;
    QPointer<ApplicationTargetPicker> application_;
    QPointer<ShortcutRecorder> shortcut_;
};

}  // namespace glidra
