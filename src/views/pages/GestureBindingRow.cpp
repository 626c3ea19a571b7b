#include "views/pages/GestureBindingRow.h"

#include "actions/GestureActionCategory.h"
#include "settings/ControlSettings.h"
#include "views/ViewContext.h"
#include "views/actions/ActionParameterEditor.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/actions/CurrentDesktopAbilities.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/WheelGuard.h"
#include "views/pages/BindingEdits.h"
#include "views/pages/SlideDistancePicker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

GestureBindingRow::GestureBindingRow(ViewContext& context, GestureTrigger trigger, QWidget* parent)
    : QWidget(parent),
      context_(context),
      settings_(context.settings),
      trigger_(trigger),
      actionMenu_(makeActionMenu()),
      column_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("bindingRow:") + enumRaw(trigger));
    actionMenu_->setObjectName(QStringLiteral("action"));

    auto* titleLabel = new kit::StyledLabel(title(trigger));
    kit::labelField(titleLabel, actionMenu_, title(trigger) + tr("的动作"));
    titleLabel->setFixedWidth(titleWidth);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    header->addWidget(titleLabel, 0, Qt::AlignVCenter);
    header->addSpacing(16);
    header->addStretch(1);
    header->addWidget(actionMenu_, 0, Qt::AlignVCenter);

    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(8);
    column_->addLayout(header);

    sync();
    connect(&settings_, &ControlSettings::bindingsChanged, this, &GestureBindingRow::sync);
    connect(actionMenu_, &QComboBox::activated, this, [this](int index) {
        const auto action = enumFromRaw<GestureAction>(actionMenu_->itemData(index).toString());
        // Only the action: what other actions use stays for when they return.
        if (action) edit([action = *action](GestureBinding& binding) { binding.action = action; });
    });
}

QComboBox* GestureBindingRow::makeActionMenu() const {
    auto* menu = new QComboBox;
    menu->setFixedWidth(menuWidth);
    menu->setMaxVisibleItems(20);
    kit::WheelGuard::guard(menu);
    menu->addItem(tr("关闭"), enumRaw(GestureAction::none));
    auto* model = qobject_cast<QStandardItemModel*>(menu->model());
    const DesktopAbilities abilities = currentDesktopAbilities(context_);
    for (const auto category : enumAllCases<GestureActionCategory>()) {
        menu->addItem(title(category));
        if (auto* header = model ? model->item(menu->count() - 1) : nullptr) {
            header->setFlags(header->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            QFont font = menu->font();
            font.setBold(true);
            header->setFont(font);
        }
        for (const auto action : categoryActions(category)) {
            const auto reason = unavailabilityOnDesktop(action, abilities);
            menu->addItem(reason ? title(action) + tr("（此桌面不可用）") : title(action), enumRaw(action));
            // Shown when bound already, never bound anew.
            if (reason) {
                menu->setItemData(menu->count() - 1, *reason, Qt::ToolTipRole);
                if (auto* item = model ? model->item(menu->count() - 1) : nullptr) {
                    item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
                }
            }
        }
    }
    return menu;
}

std::optional<GestureBinding> GestureBindingRow::binding() const {
    const auto& bindings = settings_.bindings();
    const auto found = std::ranges::find(bindings, trigger_, &GestureBinding::trigger);
    if (found == bindings.end()) return std::nullopt;
    return *found;
}

void GestureBindingRow::edit(const std::function<void(GestureBinding&)>& change) {
    editBindings(
        settings_, [this](const GestureBinding& binding) { return binding.trigger == trigger_; }, change);
}

void GestureBindingRow::sync() {
    const auto current = binding();
    const GestureAction action = current ? current->action : GestureAction::none;
    {
        const QSignalBlocker blocker(actionMenu_);
        actionMenu_->setCurrentIndex(actionMenu_->findData(enumRaw(action)));
    }
    if (action != shownAction_) rebuildControls(action);
    // In place: the controls the action shows keep their state.
    GestureBinding shown;
    if (current) shown = *current;
    if (slideDistance_) slideDistance_->setSelection(shown.slideDistance.value_or(SlideDistance{}));
    if (parameters_) parameters_->setParameters(shown.resolvedParameters());
    if (application_) application_->setSelection(shown.applicationTarget);
    if (shortcut_) shortcut_->setShortcut(shown.shortcut);
}

void GestureBindingRow::rebuildControls(GestureAction action) {
    retire(controls_);
    slideDistance_ = nullptr;
    parameters_ = nullptr;
    application_ = nullptr;
    shortcut_ = nullptr;
    shownAction_ = action;
    controls_ = new QWidget;
    controls_->setObjectName(QStringLiteral("bindingControls"));
    auto* layout = new QVBoxLayout(controls_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    // Filled with the stored values by sync(), which follows.
    if (action != GestureAction::none && !isContinuousAdjustment(action)) {
        slideDistance_ = new SlideDistancePicker(SlideDistance{});
        layout->addWidget(slideDistance_);
        connect(slideDistance_, &SlideDistancePicker::selectionEdited, this, [this](SlideDistance distance) {
            edit([distance](GestureBinding& b) { b.slideDistance = distance; });
        });
    }
    parameters_ = new ActionParameterEditor(context_, action);
    parameters_->setObjectName(QStringLiteral("parameters"));
    parameters_->setVisible(parameters_->hasContent());
    layout->addWidget(parameters_);
    connect(parameters_, &ActionParameterEditor::parametersChanged, this,
            [this](const ActionParameters& values) { edit([values](GestureBinding& b) { b.parameters = values; }); });
    if (action == GestureAction::openApplication) {
        application_ = new ApplicationTargetPicker(context_);
        application_->setObjectName(QStringLiteral("applicationTarget"));
        layout->addWidget(application_);
        connect(application_, &ApplicationTargetPicker::selectionChanged, this,
                [this](const std::optional<ApplicationTarget>& target) {
                    edit([target](GestureBinding& b) { b.applicationTarget = target; });
                });
    }
    if (action == GestureAction::customShortcut) {
        shortcut_ = new ShortcutRecorder(context_);
        shortcut_->setObjectName(QStringLiteral("shortcut"));
        layout->addWidget(shortcut_);
        connect(shortcut_, &ShortcutRecorder::shortcutChanged, this,
                [this](const std::optional<KeyboardShortcut>& shortcut) {
                    edit([shortcut](GestureBinding& b) { b.shortcut = shortcut; });
                });
    }
    controls_->setVisible(slideDistance_ || parameters_->hasContent() || application_ || shortcut_);
    column_->addWidget(controls_);
}

}  // namespace glidra
