#include "app/TrackpadToolbarControls.h"

#include "app/TrackpadConnectionIndicator.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/KitColour.h"
#include "views/kit/Symbols.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QToolButton>

namespace glidra {

TrackpadToolbarControls::TrackpadToolbarControls(TrackpadController& controller, QWidget* parent)
    : QWidget(parent),
      controller_(controller),
      indicator_(new TrackpadConnectionIndicator(controller)),
      button_(new QToolButton) {
    setObjectName(QStringLiteral("trackpadToolbar"));
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedHeight(14);
    divider->setForegroundRole(QPalette::Mid);

    button_->setObjectName(QStringLiteral("controlButton"));
    button_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button_->setIconSize(QSize(11, 11));
    button_->setFixedSize(28, 22);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(indicator_, 0, Qt::AlignVCenter);
    layout->addWidget(divider, 0, Qt::AlignVCenter);
    layout->addWidget(button_, 0, Qt::AlignVCenter);

    sync();
    connect(&controller_, &TrackpadController::connectionStateChanged, this, &TrackpadToolbarControls::sync);
    connect(button_, &QToolButton::clicked, this, &TrackpadToolbarControls::press);
}

void TrackpadToolbarControls::sync() {
    const bool connected = indicator_->isConnected();
    button_->setIcon(kit::symbolIcon(connected ? QStringLiteral("pause.fill") : QStringLiteral("play.fill")));
    button_->setProperty("symbol", connected ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"));
    const QString help = connected ? tr("暂停触控板控制") : tr("连接触控板");
    button_->setToolTip(help);
    button_->setAccessibleName(help);
}

void TrackpadToolbarControls::press() {
    // The group at the time of the press decides, as the drawn button shows it.
    if (indicator_->isConnected()) {
        controller_.toggleEnabled();
    } else {
        controller_.reconnect();
    }
}

}  // namespace glidra
