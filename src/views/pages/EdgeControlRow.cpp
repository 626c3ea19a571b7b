#include "views/pages/EdgeControlRow.h"

#include "settings/ControlSettings.h"
#include "views/ViewContext.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/WheelGuard.h"
#include "views/pages/BindingEdits.h"
#include "views/pages/GestureBindingRow.h"
#include "views/pages/SlideDistancePicker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

EdgeControlRow::EdgeControlRow(ViewContext& context, EdgeLocation edge, QWidget* parent)
    : QWidget(parent),
      context_(context),
      settings_(context.settings),
      edge_(edge),
      split_(new kit::SegmentedControl({tr("合并"), tr("拆开")})),
      column_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("edgeRow:") + enumRaw(edge));
    split_->setObjectName(QStringLiteral("isSplit"));
    split_->setAccessibleName(title(edge) + tr("的设置方式"));
    split_->setFixedWidth(segmentWidth);

    auto* titles = new QVBoxLayout;
    titles->setContentsMargins(0, 0, 0, 0);
    titles->setSpacing(4);
    titles->addWidget(new kit::StyledLabel(title(edge), kit::TextStyle::headline));
    titles->addWidget(new kit::StyledLabel(slideAxisTitle(edge), kit::TextStyle::caption, kit::KitColour::secondary));
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addLayout(titles);
    header->addStretch(1);
    header->addWidget(split_, 0, Qt::AlignVCenter);

    column_->setContentsMargins(0, 8, 0, 8);
    column_->setSpacing(16);
    column_->addLayout(header);

    sync();
    connect(&settings_, &ControlSettings::bindingsChanged, this, &EdgeControlRow::sync);
    connect(&settings_, &ControlSettings::edgeConfigurationsChanged, this, &EdgeControlRow::sync);
    connect(split_, &kit::SegmentedControl::activated, this,
            [this](int index) { settings_.setEdgeSplit(index == 1, edge_); });
}

std::vector<EdgeControlMode> EdgeControlRow::offeredModes() {
    std::vector<EdgeControlMode> modes;
    for (const auto mode : enumAllCases<EdgeControlMode>()) {
        if (mode != EdgeControlMode::custom) modes.push_back(mode);
    }
    return modes;
}

bool EdgeControlRow::belongs(GestureTrigger trigger) const { return edgeLocation(trigger) == edge_; }

std::optional<ApplicationTarget> EdgeControlRow::mergedApplicationTarget() const {
    const auto& bindings = settings_.bindings();
    const auto first = std::ranges::find_if(bindings, [this](const auto& b) { return belongs(b.trigger); });
    return first == bindings.end() ? std::nullopt : first->applicationTarget;
}

void EdgeControlRow::setMergedApplicationTarget(const std::optional<ApplicationTarget>& target) {
    editBindings(
        settings_, [this](const GestureBinding& b) { return belongs(b.trigger); },
        [&target](GestureBinding& b) { b.applicationTarget = target; });
}

SlideDistance EdgeControlRow::mergedSlideDistance() const {
    const auto& bindings = settings_.bindings();
    const auto first = std::ranges::find_if(bindings, [this](const auto& b) { return belongs(b.trigger); });
    return first == bindings.end() ? SlideDistance{} : first->slideDistance.value_or(SlideDistance{});
}

void EdgeControlRow::setMergedSlideDistance(SlideDistance distance) {
    editBindings(
        settings_, [this](const GestureBinding& b) { return belongs(b.trigger); },
        [distance](GestureBinding& b) { b.slideDistance = distance; });
}

EdgeControlRow::Shape EdgeControlRow::currentShape() const {
    const EdgeConfiguration configuration = settings_.edgeConfiguration(edge_);
    Shape shape;
    shape.isSplit = configuration.isSplit;
    for (const auto& binding : settings_.bindings()) {
        if (!belongs(binding.trigger)) continue;
        if (shape.isSplit) {
            // Keyed by trigger: one row for each, where it first appears.
            if (std::ranges::find(shape.rows, binding.trigger) == shape.rows.end())
                shape.rows.push_back(binding.trigger);
        } else if (binding.action != GestureAction::none && !isContinuousAdjustment(binding.action)) {
            shape.showsDistance = true;
        }
    }
    shape.showsApplication = !shape.isSplit && configuration.mergedMode == EdgeControlMode::application;
    return shape;
}

void EdgeControlRow::sync() {
    const EdgeConfiguration configuration = settings_.edgeConfiguration(edge_);
    split_->setCurrentIndex(configuration.isSplit ? 1 : 0);
    const Shape shape = currentShape();
    if (shape != shape_) rebuild(shape);
    if (mode_) {
        const QSignalBlocker blocker(mode_.data());
        mode_->setCurrentIndex(mode_->findData(enumRaw(configuration.mergedMode)));
    }
    if (slideDistance_) slideDistance_->setSelection(mergedSlideDistance());
    if (application_) application_->setSelection(mergedApplicationTarget());
}

void EdgeControlRow::rebuild(const Shape& shape) {
    retire(content_);
    mode_ = nullptr;
    slideDistance_ = nullptr;
    application_ = nullptr;
    shape_ = shape;
    if (shape.isSplit) {
        content_ = new QWidget;
        content_->setObjectName(QStringLiteral("splitContent"));
        auto* rows = new QVBoxLayout(content_);
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(14);
        for (const auto trigger : shape.rows) rows->addWidget(new GestureBindingRow(context_, trigger));
    } else {
        content_ = buildMerged(shape);
    }
    column_->addWidget(content_);
}

QWidget* EdgeControlRow::buildMerged(const Shape& shape) {
    auto* merged = new QWidget;
    merged->setObjectName(QStringLiteral("mergedContent"));
    auto* layout = new QVBoxLayout(merged);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);

    mode_ = new QComboBox;
    mode_->setObjectName(QStringLiteral("mergedMode"));
    mode_->setFixedWidth(menuWidth);
    kit::WheelGuard::guard(mode_);
    for (const auto mode : offeredModes()) mode_->addItem(title(mode), enumRaw(mode));
    auto* modeRow = new QHBoxLayout;
    modeRow->setContentsMargins(0, 0, 0, 0);
    auto* modeLabel = new kit::StyledLabel(tr("功能"), kit::TextStyle::body, kit::KitColour::secondary);
    kit::labelField(modeLabel, mode_, title(edge_) + tr("的功能"));
    modeRow->addWidget(modeLabel, 0, Qt::AlignVCenter);
    modeRow->addStretch(1);
    modeRow->addWidget(mode_, 0, Qt::AlignVCenter);
    layout->addLayout(modeRow);
    connect(mode_, &QComboBox::activated, this, [this](int index) {
        const auto mode = enumFromRaw<EdgeControlMode>(mode_->itemData(index).toString());
        // Choosing the mode shown again changes nothing.
        if (mode && *mode != settings_.edgeConfiguration(edge_).mergedMode) settings_.setEdgeMode(*mode, edge_);
    });

    if (shape.showsApplication) {
        application_ = new ApplicationTargetPicker(context_);
        application_->setObjectName(QStringLiteral("applicationTarget"));
        application_->setSelection(mergedApplicationTarget());
        layout->addWidget(application_);
        connect(application_, &ApplicationTargetPicker::selectionChanged, this,
                &EdgeControlRow::setMergedApplicationTarget);
    }
    if (shape.showsDistance) {
        slideDistance_ = new SlideDistancePicker(mergedSlideDistance());
        layout->addWidget(slideDistance_);
        connect(slideDistance_, &SlideDistancePicker::selectionEdited, this, &EdgeControlRow::setMergedSlideDistance);
    }
    return merged;
}

}  // namespace glidra
