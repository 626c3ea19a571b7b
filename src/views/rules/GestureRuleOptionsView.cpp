#include "views/rules/GestureRuleOptionsView.h"

#include "views/ViewContext.h"
#include "views/actions/ApplicationDisplayName.h"
#include "views/kit/GroupBox.h"
#include "views/kit/PlainButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Symbols.h"
#include "views/rules/GestureRegionPicker.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace glidra {

GestureRuleOptionsView::GestureRuleOptionsView(ViewContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      addRegion_(addButton(tr("限定区域"), QStringLiteral("addRegion"))),
      addApplication_(addButton(tr("限定应用"), QStringLiteral("addApplication"))),
      addModifiers_(addButton(tr("搭配按键"), QStringLiteral("addModifiers"))),
      regionSection_(new QWidget),
      regionPicker_(new GestureRegionPicker(context)),
      applicationSection_(new QWidget),
      applicationName_(new kit::StyledLabel),
      modifierSection_(new kit::GroupBox(tr("同时按住"))) {
    setObjectName(QStringLiteral("ruleOptions"));

    auto* addRow = new QHBoxLayout;
    addRow->setContentsMargins(0, 0, 0, 0);
    addRow->setSpacing(8);
    addRow->addWidget(addRegion_);
    addRow->addWidget(addApplication_);
    addRow->addWidget(addModifiers_);
    addRow->addStretch(1);

    regionSection_->setObjectName(QStringLiteral("regionSection"));
    auto* anyRegion = new kit::PlainButton(tr("不限区域"), kit::TextStyle::caption);
    anyRegion->setObjectName(QStringLiteral("clearRegion"));
    auto* regionLayout = new QVBoxLayout(regionSection_);
    regionLayout->setContentsMargins(0, 0, 0, 0);
    regionLayout->setSpacing(8);
    regionLayout->addWidget(regionPicker_);
    regionLayout->addWidget(anyRegion, 0, Qt::AlignLeading);

    applicationSection_->setObjectName(QStringLiteral("applicationSection"));
    applicationName_->setObjectName(QStringLiteral("applicationName"));
    auto* names = new QVBoxLayout;
    names->setContentsMargins(0, 0, 0, 0);
    names->setSpacing(4);
    names->addWidget(new kit::StyledLabel(tr("仅在此应用使用"), kit::TextStyle::caption, kit::KitColour::secondary));
    names->addWidget(applicationName_);
    auto* change = new QPushButton(tr("更换"));
    change->setObjectName(QStringLiteral("changeApplication"));
    auto* anyApplication = new QPushButton(tr("不限应用"));
    anyApplication->setObjectName(QStringLiteral("clearApplication"));
    for (auto* button : {change, anyApplication}) button->setAutoDefault(false);
    auto* applicationLayout = new QHBoxLayout(applicationSection_);
    applicationLayout->setContentsMargins(0, 0, 0, 0);
    applicationLayout->addLayout(names, 1);
    applicationLayout->addWidget(change, 0, Qt::AlignVCenter);
    applicationLayout->addWidget(anyApplication, 0, Qt::AlignVCenter);

    modifierSection_->setObjectName(QStringLiteral("modifierSection"));
    modifierSection_->contentLayout()->setContentsMargins(kit::GroupBox::inset, 8, kit::GroupBox::inset,
                                                          kit::GroupBox::inset);
    modifierSection_->contentLayout()->setSpacing(10);
    // The stored flags keep their names (command is Super, option is Alt);
    // the boxes show the keys as the desktop names them, in its order.
    control_ = modifierToggle(QStringLiteral("Ctrl"), QStringLiteral("control"), &RuleModifierKeys::control);
    option_ = modifierToggle(QStringLiteral("Alt"), QStringLiteral("option"), &RuleModifierKeys::option);
    shift_ = modifierToggle(QStringLiteral("Shift"), QStringLiteral("shift"), &RuleModifierKeys::shift);
    command_ = modifierToggle(QStringLiteral("Super"), QStringLiteral("command"), &RuleModifierKeys::command);
    auto* toggles = new QHBoxLayout;
    toggles->setContentsMargins(0, 0, 0, 0);
    toggles->setSpacing(16);
    for (auto* toggle : {control_, option_, shift_, command_}) toggles->addWidget(toggle);
    toggles->addStretch(1);
    auto* noModifiers = new kit::PlainButton(tr("不搭配按键"), kit::TextStyle::caption);
    noModifiers->setObjectName(QStringLiteral("clearModifiers"));
    modifierSection_->contentLayout()->addLayout(toggles);
    modifierSection_->addWidget(noModifiers);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->addLayout(addRow);
    layout->addWidget(regionSection_);
    layout->addWidget(applicationSection_);
    layout->addWidget(modifierSection_);

    sync();

    connect(addRegion_, &QPushButton::clicked, this, [this] {
        showsRegion_ = true;
        sync();
    });
    connect(addModifiers_, &QPushButton::clicked, this, [this] {
        showsModifiers_ = true;
        sync();
    });
    connect(addApplication_, &QPushButton::clicked, this, &GestureRuleOptionsView::chooseApplicationRequested);
    connect(change, &QPushButton::clicked, this, &GestureRuleOptionsView::chooseApplicationRequested);
    connect(anyApplication, &QPushButton::clicked, this, &GestureRuleOptionsView::clearApplication);
    connect(anyRegion, &QAbstractButton::clicked, this, &GestureRuleOptionsView::clearRegion);
    connect(noModifiers, &QAbstractButton::clicked, this, &GestureRuleOptionsView::clearModifiers);
    connect(regionPicker_, &GestureRegionPicker::regionChosen, this, &GestureRuleOptionsView::regionChosen);
}

QPushButton* GestureRuleOptionsView::addButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(kit::symbolIcon(QStringLiteral("plus")), text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    kit::setTextStyle(button, kit::TextStyle::callout);
    return button;
}

QCheckBox* GestureRuleOptionsView::modifierToggle(const QString& key, const QString& name,
                                                  bool RuleModifierKeys::*flag) {
    auto* toggle = new QCheckBox(key);
    toggle->setObjectName(name);
    toggle->setAccessibleName(key);
    connect(toggle, &QCheckBox::clicked, this, [this, flag](bool checked) {
        RuleModifierKeys edited = keys_;
        edited.*flag = checked;
        Q_EMIT modifiersEdited(edited);
    });
    return toggle;
}

void GestureRuleOptionsView::setState(const GestureRule& rule, RuleModifierKeys keys) {
    rule_ = rule;
    keys_ = keys;
    sync();
}

bool GestureRuleOptionsView::showsRegionSection() const {
    return showsRegion_ || (rule_.region && *rule_.region != GestureRegion::anywhere);
}

bool GestureRuleOptionsView::showsModifierSection() const { return showsModifiers_ || keys_.any(); }

void GestureRuleOptionsView::clearRegion() {
    showsRegion_ = false;
    Q_EMIT regionChosen(GestureRegionFields{});
    sync();
}

void GestureRuleOptionsView::clearApplication() { Q_EMIT applicationCleared(); }

void GestureRuleOptionsView::clearModifiers() {
    showsModifiers_ = false;
    Q_EMIT modifiersEdited(RuleModifierKeys{});
    sync();
}

void GestureRuleOptionsView::sync() {
    const bool application = !rule_.appBundleID.isEmpty();
    addRegion_->setVisible(!showsRegionSection());
    addApplication_->setVisible(!application);
    addModifiers_->setVisible(!showsModifierSection());

    regionSection_->setVisible(showsRegionSection());
    regionPicker_->setFields(GestureRegionFields::of(rule_));

    applicationSection_->setVisible(application);
    applicationName_->setText(application ? applicationDisplayName(rule_.appBundleID, context_.workspace) : QString());

    modifierSection_->setVisible(showsModifierSection());
    const QSignalBlocker a(command_), b(option_), c(control_), d(shift_);
    command_->setChecked(keys_.command);
    option_->setChecked(keys_.option);
    control_->setChecked(keys_.control);
    shift_->setChecked(keys_.shift);
}

}  // namespace glidra
