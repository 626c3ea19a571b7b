#include "views/rules/RegionSelectionSheet.h"

#include "trackpad/TrackpadController.h"
#include "views/ViewContext.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/ScrollingBody.h"
#include "views/kit/StyledLabel.h"
#include "views/rules/RegionQuickPicker.h"
#include "views/rules/RegionSelectionCanvas.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace glidra {

namespace {

constexpr int sheetWidth = 580;

long percentOf(float extent) { return std::lround(extent * 100); }

}  // namespace

RegionSelectionSheet::RegionSelectionSheet(ViewContext& context, RegionSelection start, SaveHandler onSave,
                                           QWidget* parent)
    : QDialog(parent),
      controller_(context.controller),
      onSave_(std::move(onSave)),
      model_(new RegionSelectionModel(std::move(start), this)),
      summaryName_(new kit::StyledLabel({}, kit::TextStyle::headline)),
      summarySize_(new kit::StyledLabel({}, kit::TextStyle::body, kit::KitColour::secondary)),
      status_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::secondary)),
      cancel_(new QPushButton(tr("取消"))),
      confirm_(new QPushButton(tr("确认"))) {
    setObjectName(QStringLiteral("regionSelectionSheet"));
    setWindowTitle(tr("选择触发区域"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* title = new kit::StyledLabel(tr("选择触发区域"), kit::TextStyle::title2);
    title->setTextStyle(kit::TextStyle::title2, QFont::Bold);
    auto* subtitle =
        new kit::StyledLabel(tr("先选比例，再点方向；也可拖动框选。"), kit::TextStyle::body, kit::KitColour::secondary);
    summaryName_->setObjectName(QStringLiteral("summaryTitle"));
    summarySize_->setObjectName(QStringLiteral("summarySize"));
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);

    auto* summary = new QHBoxLayout;
    summary->setContentsMargins(0, 0, 0, 0);
    summary->addWidget(summaryName_, 0, Qt::AlignVCenter);
    summary->addStretch(1);
    summary->addWidget(summarySize_, 0, Qt::AlignVCenter);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    // Only "确认" answers Return, and only while it is enabled.
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setAutoDefault(false);
    confirm_->setObjectName(QStringLiteral("confirm"));
    confirm_->setDefault(true);
    kit::makeProminent(confirm_);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(cancel_, 0, Qt::AlignVCenter);
    buttons->addStretch(1);
    buttons->addWidget(confirm_, 0, Qt::AlignVCenter);

    // Everything above the buttons scrolls when the screen is small.
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(20);
    bodyLayout->addWidget(title);
    bodyLayout->addWidget(subtitle);
    bodyLayout->addWidget(new RegionQuickPicker(*model_));
    bodyLayout->addWidget(new RegionSelectionCanvas(*model_));
    bodyLayout->addLayout(summary);
    bodyLayout->addWidget(status_);
    auto* scrolling = new kit::ScrollingBody(body);
    scrolling->setObjectName(QStringLiteral("sheetBody"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(20);
    layout->addWidget(scrolling, 1);
    layout->addWidget(divider);
    layout->addLayout(buttons);

    sync();
    const int height =
        layout->hasHeightForWidth() ? layout->totalHeightForWidth(sheetWidth) : layout->totalSizeHint().height();
    kit::fixToScreen(this, QSize(sheetWidth, height));

    connect(model_, &RegionSelectionModel::regionChanged, this, &RegionSelectionSheet::sync);
    connect(cancel_, &QPushButton::clicked, this, &RegionSelectionSheet::cancel);
    connect(confirm_, &QPushButton::clicked, this, &RegionSelectionSheet::confirm);
    connect(this, &QDialog::finished, this, &RegionSelectionSheet::restoreSetupMode);
}

RegionSelectionSheet::~RegionSelectionSheet() { restoreSetupMode(); }

QString RegionSelectionSheet::sizeText(const NormalizedRegionRect& rect) {
    return tr("宽 %1% · 高 %2%").arg(percentOf(rect.maxX - rect.minX)).arg(percentOf(rect.maxY - rect.minY));
}

QString RegionSelectionSheet::summaryTitle(const RegionSelection& selection) {
    if (selection.selection != GestureRegion::custom) return title(selection.selection);
    return NormalizedRegionRect::listTitle(selection.rectangles);
}

void RegionSelectionSheet::sync() {
    const RegionSelection& state = model_->state();
    summaryName_->setText(summaryTitle(state));
    summarySize_->setVisible(!state.rectangles.empty());
    summarySize_->setText(state.rectangles.empty() ? QString() : sizeText(state.rectangles.front()));
    const bool usable = state.isUsable();
    status_->setText(usable ? tr("从高亮区域开始操作，即可触发。") : tr("请选择区域，或拖出稍大的范围。"));
    confirm_->setEnabled(usable);
}

void RegionSelectionSheet::confirm() {
    if (!isSelectionValid()) return;
    const RegionSelection& state = model_->state();
    if (onSave_) {
        onSave_(state.selection,
                state.selection == GestureRegion::custom ? state.rectangles : std::vector<NormalizedRegionRect>{});
    }
    accept();
}

void RegionSelectionSheet::cancel() { reject(); }

void RegionSelectionSheet::closeSheetsIn(QObject* owner) {
    if (!owner) return;
    for (auto* sheet : owner->findChildren<RegionSelectionSheet*>()) {
        const QPointer<RegionSelectionSheet> guard(sheet);
        if (sheet->isVisible()) sheet->reject();
        if (guard) sheet->restoreSetupMode();
    }
}

void RegionSelectionSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (inSetupMode_) return;
    enterSetupMode();
    // Start on the buttons, so no picker control looks chosen by its focus.
    (confirm_->isEnabled() ? confirm_ : cancel_)->setFocus();
}

void RegionSelectionSheet::enterSetupMode() {
    inSetupMode_ = true;
    previousSetupState_ = controller_.isSettingUpGesture();
    controller_.setLearningGesture(false);
    controller_.setSettingUpGesture(true);
}

// Once only, on whichever comes first of the sheet finishing and its
// destruction.
void RegionSelectionSheet::restoreSetupMode() {
    if (!inSetupMode_) return;
    inSetupMode_ = false;
    controller_.setSettingUpGesture(previousSetupState_);
}

}  // namespace glidra
