#include "views/actions/GestureActionCanvas.h"

#include "views/actions/GestureActionConfigurationView.h"
#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SymbolView.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace glidra {

namespace {

QWidget* makePlaceholder() {
    auto* card = new kit::RoundedBox(kit::KitColour::controlBackground, 12);
    card->setObjectName(QStringLiteral("actionPlaceholder"));
    card->setMinimumHeight(170);
    auto* column = new QVBoxLayout(card);
    column->setSpacing(12);
    column->addStretch(1);
    auto* symbol = new kit::SymbolView(QStringLiteral("plus.square.dashed"), kit::KitColour::tertiary);
    kit::setTextStyle(symbol, kit::TextStyle::largeTitle);
    column->addWidget(symbol, 0, Qt::AlignHCenter);
    column->addWidget(new kit::StyledLabel(GestureActionCanvas::tr("选择一个动作"), kit::TextStyle::headline), 0,
                      Qt::AlignHCenter);
    column->addWidget(new kit::StyledLabel(GestureActionCanvas::tr("可搜索，也可按分类选择。"), kit::TextStyle::callout,
                                           kit::KitColour::secondary),
                      0, Qt::AlignHCenter);
    column->addStretch(1);
    return card;
}

}  // namespace

GestureActionCanvas::GestureActionCanvas(const ViewContext& context, QWidget* warnings, QWidget* options,
                                         QWidget* parent)
    : QWidget(parent),
      gesture_(new kit::SymbolLabel(QStringLiteral("hand.draw"))),
      placeholder_(makePlaceholder()),
      panel_(new GestureActionConfigurationView(context)),
      warnings_(warnings ? warnings : new QWidget),
      options_(options ? options : new QWidget) {
    setObjectName(QStringLiteral("actionCanvas"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(24, 24, 24, 24);
    root->setSpacing(24);

    auto* header = new QVBoxLayout;
    header->setSpacing(8);
    header->addWidget(new kit::StyledLabel(tr("触发手势"), kit::TextStyle::caption, kit::KitColour::secondary));
    gesture_->setObjectName(QStringLiteral("triggerGesture"));
    gesture_->setTextStyle(kit::TextStyle::headline);
    header->addWidget(gesture_);
    root->addLayout(header);

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("actionArea"));
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 8);
    column->setSpacing(12);
    column->addWidget(new kit::StyledLabel(tr("执行动作"), kit::TextStyle::caption, kit::KitColour::secondary));
    column->addWidget(placeholder_);
    column->addWidget(panel_);
    column->addWidget(options_);
    column->addWidget(warnings_);
    column->addStretch(1);
    scroll->setWidget(content);
    root->addWidget(scroll, 1);

    connect(panel_, &GestureActionConfigurationView::configurationChanged, this,
            &GestureActionCanvas::configurationChanged);
    setRule(GestureRule{});
}

void GestureActionCanvas::setRule(const GestureRule& rule) {
    gesture_->setText(rule.gesture.title());
    panel_->setConfiguration(ActionConfiguration::of(rule));
    const bool chosen = rule.action != GestureAction::none;
    placeholder_->setVisible(!chosen);
    panel_->setVisible(chosen);
    options_->setVisible(chosen);
    warnings_->setVisible(chosen);
}

}  // namespace glidra
