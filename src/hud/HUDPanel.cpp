#include "hud/HUDPanel.h"

#include "hud/HUDView.h"
#include "views/kit/KitColour.h"

#include <QPainter>

namespace glidra {

namespace {
constexpr QSize initialSize(240, 64);
}

HUDPanel::HUDPanel()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::NoDropShadowWindowHint) {
    setObjectName(QStringLiteral("adjustmentHUDPanel"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(initialSize);
}

HUDPanel::~HUDPanel() = default;

void HUDPanel::setContent(std::unique_ptr<HUDView> view, const QSize& panelSize) {
    delete content_;
    content_ = view.release();
    content_->setParent(this);
    content_->setDrawsCapsule(backdrop_ == Backdrop::translucent);
    resize(panelSize);
    centreContent();
    content_->show();
    update();
}

void HUDPanel::setBackdrop(Backdrop backdrop) {
    if (backdrop == backdrop_) return;
    backdrop_ = backdrop;
    if (content_) content_->setDrawsCapsule(backdrop_ == Backdrop::translucent);
    update();
}

void HUDPanel::present() {
    if (!isVisible()) show();
    raise();
}

void HUDPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    centreContent();
}

void HUDPanel::centreContent() {
    if (!content_) return;
    content_->move((width() - content_->width()) / 2, (height() - content_->height()) / 2);
}

// A soft shadow, a little below the capsule, fading outwards; or, opaque,
// the material's colour edge to edge inside a fine line. The window keeps its
// alpha channel either way: every pixel of the opaque panel is painted.
void HUDPanel::paintEvent(QPaintEvent*) {
    if (!content_) return;
    QPainter painter(this);
    if (backdrop_ == Backdrop::opaque) {
        const QColor material = kit::colour(kit::KitColour::material, palette());
        const QColor fill(material.red(), material.green(), material.blue());
        painter.fillRect(rect(), fill);
        painter.setPen(kit::over(kit::colour(kit::KitColour::separator, palette()), fill));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF capsule = QRectF(content_->geometry()).translated(0, 2);
    constexpr int rings = 6;
    for (int i = rings; i >= 1; --i) {
        const QRectF ring = capsule.adjusted(-i, -i, i, i);
        const double radius = ring.height() / 2;
        painter.setBrush(QColor(0, 0, 0, 7));
        painter.drawRoundedRect(ring, radius, radius);
    }
}

}  // namespace glidra
