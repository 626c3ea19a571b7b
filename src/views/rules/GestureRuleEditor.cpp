#include "views/rules/GestureRuleEditor.h"

#include "platform/Workspace.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/ViewContext.h"
#include "views/actions/ApplicationChooser.h"
#include "views/kit/Discard.h"
#include "views/kit/LayoutTabOrder.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/ScrollingBody.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Symbols.h"
#include "views/pages/Divider.h"
#include "views/rules/GestureActionStepView.h"
#include "views/rules/GestureCaptureStepView.h"
#include "views/rules/GestureConflictNotice.h"
#include "views/rules/GestureRuleOptionsView.h"
#include "views/rules/RegionSelectionSheet.h"
#include "views/rules/SystemGestureAdviceView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

// A sheet's QPushButtons answer Return by default; this editor has no
// default action, so none of them may.
void noAutoDefault(QWidget* root) {
    for (auto* button : root->findChildren<QPushButton*>()) button->setAutoDefault(false);
}

}  // namespace

GestureRuleEditor::GestureRuleEditor(ViewContext& context, GestureRule rule, SaveHandler onSave, QWidget* parent)
    : QDialog(parent),
      context_(context),
      settings_(context.settings),
      controller_(context.controller),
      rule_(std::move(rule)),
      onSave_(std::move(onSave)),
      isEditing_(rule_.action != GestureAction::none),
      step_(isEditing_ ? 1 : 0),
      hasGesture_(isEditing_),
      keys_(RuleModifierKeys::of(rule_.requiredModifiers)) {
    setObjectName(QStringLiteral("ruleEditor"));
    setAttribute(Qt::WA_DeleteOnClose);

    content_ = new QVBoxLayout;
    content_->setContentsMargins(0, 0, 0, 0);
    message_ = new kit::StyledLabel({}, kit::TextStyle::callout);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);

    // What the steps show scrolls above the buttons when the screen is small.
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(18);
    bodyLayout->addWidget(buildHeader());
    bodyLayout->addLayout(content_, 1);
    bodyLayout->addWidget(message_);
    auto* scrolling = new kit::ScrollingBody(body);
    scrolling->setObjectName(QStringLiteral("editorBody"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(18);
    layout->addWidget(scrolling, 1);
    layout->addWidget(glidra::divider());
    layout->addWidget(buildToolbar());

    showStep();

    connect(&controller_, &TrackpadController::learnedGestureChanged, this, &GestureRuleEditor::onCapturedGesture);
    connect(&controller_, &TrackpadController::isLearningGestureChanged, this, &GestureRuleEditor::refresh);
    connect(&settings_, &ControlSettings::rulesChanged, this, &GestureRuleEditor::refresh);
    connect(&settings_, &ControlSettings::edgeWidthChanged, this, &GestureRuleEditor::refresh);
    // Save, "取消" and Escape all finish the dialog; deletion without a
    // finish is caught by the destructor.
    connect(this, &QDialog::finished, this, &GestureRuleEditor::stopCapture);
}

GestureRuleEditor::~GestureRuleEditor() { stopCapture(); }

QWidget* GestureRuleEditor::buildHeader() {
    auto* header = new QWidget;
    title_ = new kit::StyledLabel;
    title_->setObjectName(QStringLiteral("title"));
    title_->setTextStyle(kit::TextStyle::title2, QFont::Bold);
    changeGesture_ = new QPushButton(kit::symbolIcon(QStringLiteral("hand.draw")), tr("更换手势"));
    changeGesture_->setObjectName(QStringLiteral("changeGesture"));
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(changeGesture_, 0, Qt::AlignVCenter);
    connect(changeGesture_, &QPushButton::clicked, this, &GestureRuleEditor::changeGesture);
    return header;
}

QWidget* GestureRuleEditor::buildToolbar() {
    auto* toolbar = new QWidget;
    cancel_ = new QPushButton(tr("取消"));
    cancel_->setObjectName(QStringLiteral("cancel"));
    primary_ = new QPushButton;
    primary_->setObjectName(QStringLiteral("primary"));
    primary_->setMinimumHeight(32);
    kit::makeProminent(primary_);
    auto* layout = new QHBoxLayout(toolbar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(cancel_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(primary_, 0, Qt::AlignVCenter);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(primary_, &QPushButton::clicked, this, &GestureRuleEditor::primaryAction);
    return toolbar;
}

void GestureRuleEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (appeared_) return;
    appeared_ = true;
    wasEnabled_ = controller_.isEnabled();
    controller_.setSettingUpGesture(true);
}

// Builds the content of the current step afresh, so the action library
// starts with an empty search and no tab each time it is entered.
void GestureRuleEditor::showStep() {
    // The signal that led here may come from inside the old step.
    kit::discard(stepView_);
    stepView_ = step_ == 0 ? buildCaptureStep() : buildActionStep();
    content_->addWidget(stepView_);
    noAutoDefault(this);
    kit::fitToScreen(this, step_ == 0 ? captureSize : actionSize, step_ == 0 ? captureMinimumSize : actionMinimumSize);
    refresh();
}

QWidget* GestureRuleEditor::buildCaptureStep() {
    capture_ = new GestureCaptureStepView(context_);
    connect(capture_, &GestureCaptureStepView::recordClicked, this, &GestureRuleEditor::startCapture);
    connect(capture_, &GestureCaptureStepView::gestureEdited, this, &GestureRuleEditor::editGesture);

    auto* column = new QWidget;
    auto* columnLayout = new QHBoxLayout(column);
    columnLayout->setContentsMargins(0, 12, 0, 12);
    columnLayout->addStretch(1);
    capture_->setMaximumWidth(500);
    columnLayout->addWidget(capture_, 100);
    columnLayout->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("captureScroll"));
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setWidget(column);
    return scroll;
}

QWidget* GestureRuleEditor::buildActionStep() {
    const GestureRule prepared = preparedRule();
    auto* warnings = new QWidget;
    warnings->setObjectName(QStringLiteral("conflictSection"));
    notice_ = new GestureConflictNotice(context_, conflicts(), upserting(settings_.rules(), prepared), rule_.id);
    advice_ = new SystemGestureAdviceView(prepared, context_.desktop);
    // The advice hides itself while it has nothing to say; the slot says
    // whether the section shows it at all.
    adviceSlot_ = new QWidget;
    auto* adviceLayout = new QVBoxLayout(adviceSlot_);
    adviceLayout->setContentsMargins(0, 0, 0, 0);
    adviceLayout->addWidget(advice_);
    auto* warningsLayout = new QVBoxLayout(warnings);
    warningsLayout->setContentsMargins(0, 0, 0, 0);
    warningsLayout->setSpacing(12);
    warningsLayout->addWidget(notice_);
    warningsLayout->addWidget(adviceSlot_);

    options_ = new GestureRuleOptionsView(context_);
    connect(options_, &GestureRuleOptionsView::regionChosen, this, [this](const GestureRegionFields& fields) {
        fields.applyTo(rule_);
        refresh();
    });
    connect(options_, &GestureRuleOptionsView::applicationCleared, this, [this] {
        rule_.appBundleID.clear();
        refresh();
    });
    connect(options_, &GestureRuleOptionsView::chooseApplicationRequested, this, &GestureRuleEditor::chooseApplication);
    connect(options_, &GestureRuleOptionsView::modifiersEdited, this, [this](RuleModifierKeys keys) {
        keys_ = keys;
        refresh();
    });

    actionStep_ = new GestureActionStepView(context_, rule_, warnings, options_);
    connect(actionStep_, &GestureActionStepView::ruleEdited, this, [this](const GestureRule& edited) {
        // The step edits what runs; the gesture and conditions stay the
        // editor's.
        rule_.action = edited.action;
        rule_.parameters = edited.parameters;
        rule_.applicationTarget = edited.applicationTarget;
        rule_.shortcut = edited.shortcut;
        refresh();
    });
    return actionStep_;
}

GestureRule GestureRuleEditor::preparedRule() const {
    GestureRule prepared = rule_;
    prepared.requiredModifiers = keys_.flags();
    prepared.gesture.fingers = normalizedFingerCount(prepared.gesture.kind, prepared.gesture.fingers);
    return prepared;
}

std::vector<GestureRuleConflict> GestureRuleEditor::conflicts() const {
    auto found = GestureRuleConflict::conflictsForRule(preparedRule(), settings_.rules(), float(settings_.edgeWidth()));
    std::erase_if(found, [](const GestureRuleConflict& conflict) {
        return conflict.kind == GestureRuleConflict::Kind::applicationOverride;
    });
    return found;
}

std::optional<QString> GestureRuleEditor::validationMessage(const GestureRule& rule, bool hasGesture) {
    if (!hasGesture) return tr("请先录入或选择手势。");
    if (auto message = rule.validationMessage()) return message;
    const bool sideways = rule.gesture.kind == Kind::swipe &&
                          (rule.gesture.direction == Direction::left || rule.gesture.direction == Direction::right);
    if (rule.action == GestureAction::scrubVideo && !sideways) return tr("视频进度需要左右滑动，请更换手势。");
    return std::nullopt;
}

void GestureRuleEditor::startCapture() {
    errorMessage_.clear();
    if (controller_.isLearningGesture()) {
        controller_.setLearningGesture(false);
        refresh();
        return;
    }
    if (!controller_.isEnabled()) controller_.toggleEnabled();
    if (controller_.isEnabled() && controller_.isListening()) {
        // Learning the same gesture again must still read as a change.
        controller_.setLearnedGesture(std::nullopt);
        controller_.setLearningGesture(true);
    } else {
        errorMessage_ = controller_.status();
    }
    refresh();
}

void GestureRuleEditor::onCapturedGesture() {
    if (step_ != 0) return;
    const auto learned = controller_.learnedGesture();
    if (!learned) return;
    setGesture(*learned);
    hasGesture_ = true;
    step_ = 1;
    showStep();
}

void GestureRuleEditor::advanceToActionStep() {
    controller_.setLearningGesture(false);
    errorMessage_.clear();
    step_ = 1;
    showStep();
}

void GestureRuleEditor::changeGesture() {
    step_ = 0;
    errorMessage_.clear();
    showStep();
}

// A new kind brings the finger count into its allowed counts.
void GestureRuleEditor::setGesture(const GestureDescriptor& gesture) {
    const Kind previousKind = rule_.gesture.kind;
    rule_.gesture = gesture;
    if (rule_.gesture.kind != previousKind) {
        rule_.gesture.fingers = normalizedFingerCount(rule_.gesture.kind, rule_.gesture.fingers);
    }
}

// A hand-picked change on the capture step counts as a chosen gesture.
void GestureRuleEditor::editGesture(const GestureDescriptor& gesture) {
    const GestureDescriptor before = rule_.gesture;
    setGesture(gesture);
    if (rule_.gesture != before && step_ == 0 && !controller_.isLearningGesture()) hasGesture_ = true;
    refresh();
}

void GestureRuleEditor::primaryAction() {
    errorMessage_.clear();
    if (step_ == 0) {
        hasGesture_ = true;
        advanceToActionStep();
        return;
    }
    const GestureRule prepared = preparedRule();
    if (const auto message = validationMessage(prepared, hasGesture_)) {
        errorMessage_ = *message;
        refresh();
        return;
    }
    if (onSave_) onSave_(prepared);
    accept();
}

void GestureRuleEditor::chooseApplication() {
    auto* chooser = ApplicationChooser::choose(context_.workspace, context_.fileDialogs, this);
    connect(chooser, &ApplicationChooser::chosen, this, &GestureRuleEditor::limitToApplication);
}

// An entry without an identifier cannot name the application a rule is for.
void GestureRuleEditor::limitToApplication(const QString& path) {
    const auto bundle = context_.workspace.loadApplicationBundle(path);
    if (!bundle || !bundle->bundleIdentifier || bundle->bundleIdentifier->isEmpty()) return;
    rule_.appBundleID = *bundle->bundleIdentifier;
    refresh();
}

// Runs once, on whichever comes first of the sheet finishing and its
// destruction. Its own region sheet goes first: it would put back the
// raised setup flag it found.
void GestureRuleEditor::stopCapture() {
    if (!appeared_) return;
    appeared_ = false;
    // Nothing of the sheet needs to follow the flags any more, and it may be
    // half torn down.
    disconnect(&controller_, nullptr, this, nullptr);
    disconnect(&settings_, nullptr, this, nullptr);
    RegionSelectionSheet::closeSheetsIn(this);
    controller_.setLearningGesture(false);
    controller_.setSettingUpGesture(false);
    controller_.setRecordingShortcut(false);
    if (!wasEnabled_ && controller_.isEnabled()) controller_.toggleEnabled();
}

void GestureRuleEditor::refresh() {
    const bool learning = controller_.isLearningGesture();
    const GestureRule prepared = preparedRule();
    const bool hasAction = rule_.action != GestureAction::none;
    const auto validation = validationMessage(prepared, hasGesture_);

    title_->setText(step_ == 0 ? tr("添加手势") : isEditing_ ? tr("编辑手势") : tr("选择动作"));
    // The window and a screen reader name the sheet as its title does.
    setWindowTitle(title_->text());
    changeGesture_->setVisible(step_ == 1);

    std::vector<GestureRuleConflict> found;
    if (step_ == 0 && capture_) capture_->setState(rule_.gesture, hasGesture_, learning);
    if (step_ == 1) {
        found = conflicts();
        if (options_) options_->setState(rule_, keys_);
        if (actionStep_) actionStep_->setRule(rule_);
        if (notice_) {
            notice_->setConflicts(found, upserting(settings_.rules(), prepared), rule_.id);
            notice_->setVisible(hasAction && !found.empty());
        }
        if (advice_) advice_->setRule(prepared);
        if (adviceSlot_) adviceSlot_->setVisible(hasAction);
    }

    if (!errorMessage_.isEmpty()) {
        message_->setText(errorMessage_);
        message_->setColour(kit::KitColour::red);
    } else if (step_ == 1 && hasAction && validation) {
        message_->setText(*validation);
        message_->setColour(kit::KitColour::secondary);
    } else {
        message_->clear();
    }
    message_->setVisible(!message_->text().isEmpty());

    const bool duplicate = std::any_of(found.begin(), found.end(), [](const GestureRuleConflict& conflict) {
        return conflict.kind == GestureRuleConflict::Kind::duplicate;
    });
    primary_->setText(step_ == 0 ? tr("选择动作") : hasAction && duplicate ? tr("仍然保存") : tr("保存"));
    primary_->setEnabled(!learning && !(step_ == 1 && validation));
    // Panels rebuilt for the action come where they stand, not after the
    // library built before them.
    kit::followLayoutOrder(this);
}

}  // namespace glidra
