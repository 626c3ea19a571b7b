#include "app/GlidraMenuBarIcon.h"

#include "app/UiContext.h"
#include "executors/DesktopIconsController.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/KitColour.h"
#include "views/kit/Symbols.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace glidra {

namespace {

bool isDarkAppearance() { return kit::isDark(QApplication::palette()); }

QColor symbolColour(bool isDark) { return isDark ? Qt::white : Qt::black; }

// The panel's colour is not the application's: a light application theme
// on a dark panel is common. The strokes follow the palette and carry a
// halo of the other colour, so the symbol stands out on either panel.
void paintOutlinedSymbol(QPainter& painter, const QRectF& box, QStringView symbol, bool isDark) {
    constexpr qreal halo = GlidraMenuBarIcon::kHaloWidth;
    for (const QPointF offset :
         {QPointF(-halo, 0), QPointF(halo, 0), QPointF(0, -halo), QPointF(0, halo), QPointF(-halo, -halo),
          QPointF(halo, -halo), QPointF(-halo, halo), QPointF(halo, halo)}) {
        kit::paintSymbol(painter, box.translated(offset), symbol, symbolColour(!isDark));
    }
    kit::paintSymbol(painter, box, symbol, symbolColour(isDark));
}

}  // namespace

GlidraMenuBarIcon::GlidraMenuBarIcon(UiContext& context, QObject* parent) : QObject(parent), context_(context) {
    connect(&context_.controller, &TrackpadController::connectionStateChanged, this, &GlidraMenuBarIcon::changed);
    connect(&context_.keyboardLock, &KeyboardLockController::isLockedChanged, this, &GlidraMenuBarIcon::changed);
    connect(&context_.keepAwake, &KeepAwakeController::isActiveChanged, this, &GlidraMenuBarIcon::changed);
    connect(&context_.microphone, &MicrophoneMuteController::isMutedChanged, this, &GlidraMenuBarIcon::changed);
    connect(&context_.desktopIcons, &DesktopIconsController::isHiddenChanged, this, &GlidraMenuBarIcon::changed);
    // The desktop gives no colour-scheme signal: a theme change arrives as a
    // new application palette.
    qApp->installEventFilter(this);
}

GlidraMenuBarIcon::~GlidraMenuBarIcon() {
    if (qApp) qApp->removeEventFilter(this);
}

bool GlidraMenuBarIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) Q_EMIT changed();
    return QObject::eventFilter(watched, event);
}

std::optional<QColor> GlidraMenuBarIcon::badgeColor() const {
    const auto palette = QApplication::palette();
    const auto state = context_.controller.connectionState();
    if (state != TrackpadConnectionState::idle && state != TrackpadConnectionState::active) {
        return kit::colour(kit::KitColour::red, palette);
    }
    if (context_.keyboardLock.isLocked() || context_.keepAwake.isActive() || context_.microphone.isMuted() ||
        context_.desktopIcons.isHidden()) {
        return kit::colour(kit::KitColour::orange, palette);
    }
    return std::nullopt;
}

QImage GlidraMenuBarIcon::badgedSymbolImage(bool isDark, const QColor& color, const QString& symbol,
                                            qreal devicePixelRatio) {
    const bool loads = !kit::symbolResource(symbol).isEmpty();
    const int w = loads ? kSymbolSide : kMissingSymbolSide;
    const int h = w;
    const int canvasWidth = w + 4;
    const int canvasHeight = std::max(h, kMinimumHeight);

    QImage image(QSize(canvasWidth, canvasHeight) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (loads) {
        paintOutlinedSymbol(painter, QRectF(0, (canvasHeight - h) * 0.5, w, h), symbol, isDark);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    // y grows downwards here: 1 in from the top edge.
    painter.drawEllipse(QRectF(canvasWidth - 5, 1, 4, 4));
    return image;
}

QImage GlidraMenuBarIcon::plainSymbolImage(bool isDark, qreal devicePixelRatio) {
    QImage image(QSize(kSymbolSide, kSymbolSide) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintOutlinedSymbol(painter, QRectF(0, 0, kSymbolSide, kSymbolSide), u"hand.draw", isDark);
    return image;
}

QImage GlidraMenuBarIcon::image() const {
    const bool dark = isDarkAppearance();
    const auto badge = badgeColor();
    return badge ? badgedSymbolImage(dark, *badge) : plainSymbolImage(dark);
}

QIcon GlidraMenuBarIcon::icon() const { return QIcon(QPixmap::fromImage(image())); }

}  // namespace glidra
