#include "views/pages/GestureBindingRow.h"

#include "actions/GestureActionCategory.h"
#include "app/UiContext.h"
#include "settings/ControlSettings.h"
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

GestureBindingRow::GestureBindingRow(UiContext& context, GestureTrigger trigger, QWidget* parent)
    : QWidget(parent),
      context_(context),
      settings_(context.settings),
      trigger_(trigger),
      actionMenu_(makeActionMenu()),
      column_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("bindingRow:") + enumRaw(trigger));
    actionMenu_->setObjectName(QStringLiteral("action"));
    actionMenu_->setAccessibleName(title(trigger) + tr("的动作"));

    auto* titleLabel = new kit::StyledLabel(title(trigger));
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

QComboBox* GestureBindingRow::makeActionMenu() {
    auto* menu = new QComboBox;
    menu->setFixedWidth(menuWidth);
    menu->setMaxVisibleItems(20);
    kit::WheelGuard::guard(menu);
    menu->addItem(tr("关闭"), enumRaw(GestureAction::none));
    auto* model = qobject_cast<QStandardItemModel*>(menu->model());
    for (const auto category : enumAllCases<GestureActionCategory>()) {
        menu->addItem(title(category));
        if (auto* header = model ? model->item(menu->count() - 1) : nullptr) {
            header->setFlags(header->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            QFont font = menu->font();
            font.setBold(true);
            header->setFont(font);
        }
        for (const auto action : categoryActions(category)) menu->addItem(title(action), enumRaw(action));
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
    if (slideDistance_)
        slideDistance_->setSelection(current ? current->slideDistance.value_or(SlideDistance{}) : SlideDistance{});
}

void GestureBindingRow::rebuildControls(GestureAction action) {
    retire(controls_);
    slideDistance_ = nullptr;
    shownAction_ = action;
    controls_ = new QWidget;
    controls_->setObjectName(QStringLiteral("bindingControls"));
    auto* layout = new QVBoxLayout(controls_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    const auto current = binding();
    if (action != GestureAction::none && !isContinuousAdjustment(action)) {
        slideDistance_ =
            new SlideDistancePicker(current ? current->slideDistance.value_or(SlideDistance{}) : SlideDistance{});
        layout->addWidget(slideDistance_);
        connect(slideDistance_, &SlideDistancePicker::selectionEdited, this, [this](SlideDistance distance) {
            edit([distance](GestureBinding& b) { b.slideDistance = distance; });
        });
    }
    controls_->setVisible(layout->count() > 0);
    column_->addWidget(controls_);
}

}  // namespace glidra
