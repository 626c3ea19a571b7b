#include "views/rules/GestureActionStepView.h"

#include "views/kit/KitColour.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

namespace glidra {

namespace {
constexpr double cornerRadius = 12;
}

GestureActionStepView::GestureActionStepView(UiContext&, const GestureRule& rule, QWidget* warnings, QWidget* options,
                                             QWidget* parent)
    : QWidget(parent), rule_(rule) {
    setObjectName(QStringLiteral("actionStep"));

    auto* canvas = new QWidget;
    canvas->setObjectName(QStringLiteral("actionCanvas"));
    auto* canvasLayout = new QVBoxLayout(canvas);
    canvasLayout->setContentsMargins(20, 20, 20, 20);
    canvasLayout->setSpacing(16);
    canvasLayout->addWidget(warnings);
    canvasLayout->addWidget(options);
    canvasLayout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(canvas);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setForegroundRole(QPalette::Mid);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(scroll, 1);
    layout->addWidget(divider);
}

void GestureActionStepView::setRule(const GestureRule& rule) { rule_ = rule; }

void GestureActionStepView::paintEvent(QPaintEvent*) {
    // The panel's frame: a faint line inside its rounded border.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kit::faded(kit::colour(kit::KitColour::secondary, palette()), 0.12f), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}

}  // namespace glidra
