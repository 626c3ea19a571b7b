#include "app/TrackpadConnectionIndicator.h"

#include "trackpad/TrackpadController.h"
#include "views/kit/KitColour.h"
#include "views/kit/StyledLabel.h"

#include <QHBoxLayout>
#include <QPainter>

namespace glidra {

namespace {

// The 6-point circle: green when connected, the secondary style otherwise.
class ConnectionDot final : public QWidget {
public:
    ConnectionDot() { setFixedSize(6, 6); }
    void setConnected(bool connected) {
        if (connected_ == connected) return;
        connected_ = connected;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kit::colour(connected_ ? kit::KitColour::green : kit::KitColour::secondary, palette()));
        painter.drawEllipse(QRectF(rect()));
    }

private:
    bool connected_ = false;
};

}  // namespace

TrackpadConnectionIndicator::TrackpadConnectionIndicator(TrackpadController& controller, QWidget* parent)
    : QWidget(parent),
      controller_(controller),
      dot_(new ConnectionDot),
      word_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::secondary)) {
    setObjectName(QStringLiteral("connectionIndicator"));
    word_->setObjectName(QStringLiteral("connectionTitle"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(dot_, 0, Qt::AlignVCenter);
    layout->addWidget(word_, 0, Qt::AlignVCenter);
    sync();
    connect(&controller_, &TrackpadController::connectionStateChanged, this, &TrackpadConnectionIndicator::sync);
    connect(&controller_, &TrackpadController::statusChanged, this, &TrackpadConnectionIndicator::sync);
}

bool TrackpadConnectionIndicator::isConnected() const {
    const auto state = controller_.connectionState();
    return state == TrackpadConnectionState::idle || state == TrackpadConnectionState::active;
}

void TrackpadConnectionIndicator::sync() {
    const bool connected = isConnected();
    static_cast<ConnectionDot*>(dot_)->setConnected(connected);
    word_->setText(title(controller_.connectionState()));
    // The recovery's 2-second heartbeat is what the fixed line describes.
    setToolTip(tr("每 2 秒检查设备连接；实际操作时验证触点数据。闲置不会触发重连。\n") + controller_.status());
    setAccessibleName(word_->text());
}

}  // namespace glidra
