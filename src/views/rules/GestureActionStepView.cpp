#include "views/rules/GestureActionStepView.h"

#include "views/actions/ActionConfiguration.h"
#include "views/actions/CurrentDesktopAbilities.h"
#include "views/actions/GestureActionCanvas.h"
#include "views/actions/GestureActionLibraryView.h"
#include "views/kit/KitColour.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>

namespace glidra {

namespace {
constexpr double cornerRadius = 12;
}

GestureActionStepView::GestureActionStepView(ViewContext& context, const GestureRule& rule, QWidget* warnings,
                                             QWidget* options, QWidget* parent)
    : QWidget(parent),
      rule_(rule),
      canvas_(new GestureActionCanvas(context, warnings, options)),
      library_(new GestureActionLibraryView) {
    setObjectName(QStringLiteral("actionStep"));
    library_->setFixedWidth(libraryWidth);
    library_->setDesktopAbilities(currentDesktopAbilities(context));

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setForegroundRole(QPalette::Mid);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    layout->addWidget(divider);
    layout->addWidget(library_);

    setRule(rule_);
    connect(canvas_, &GestureActionCanvas::configurationChanged, this,
            [this](const ActionConfiguration& configuration) {
                GestureRule edited = rule_;
                configuration.applyTo(edited);
                Q_EMIT ruleEdited(edited);
            });
    connect(library_, &GestureActionLibraryView::actionChosen, this, [this](GestureAction action) {
        GestureRule edited = rule_;
        edited.action = action;
        Q_EMIT ruleEdited(edited);
    });
}

void GestureActionStepView::setRule(const GestureRule& rule) {
    rule_ = rule;
    canvas_->setRule(rule_);
    library_->setSelectedAction(rule_.action);
}

void GestureActionStepView::paintEvent(QPaintEvent*) {
    // The panel's frame: a faint line inside its rounded border.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::secondary, palette()), 0.12f), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}

}  // namespace glidra
