#include "views/kit/Symbols.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <memory>

namespace glidra::kit {

namespace {

// Tabler Icons (MIT, see icons/LICENSE); only the files named here are bundled.
constexpr SymbolRow rows[] = {
    {"1.magnifyingglass", "outline/zoom-reset.svg"},
    {"app", "outline/apps.svg"},
    {"app.badge", "outline/square-rounded-arrow-right.svg"},
    {"app.badge.checkmark", "outline/square-rounded-check.svg"},
    {"app.switcher", "outline/layout-cards.svg"},
    {"arrow.clockwise", "outline/refresh.svg"},
    {"arrow.down", "outline/arrow-down.svg"},
    {"arrow.down.circle", "outline/circle-arrow-down.svg"},
    {"arrow.down.left", "outline/arrow-down-left.svg"},
    {"arrow.down.right", "outline/arrow-down-right.svg"},
    {"arrow.down.right.and.arrow.up.left", "outline/arrows-minimize.svg"},
    {"arrow.down.to.line", "outline/arrow-bar-to-down.svg"},
    {"arrow.left", "outline/arrow-left.svg"},
    {"arrow.left.arrow.right.square", "outline/arrows-exchange.svg"},
    {"arrow.left.circle", "outline/circle-arrow-left.svg"},
    {"arrow.left.circle.fill", "filled/circle-arrow-left.svg"},
    {"arrow.left.square", "outline/square-arrow-left.svg"},
    {"arrow.right", "outline/arrow-right.svg"},
    {"arrow.right.circle", "outline/circle-arrow-right.svg"},
    {"arrow.right.circle.fill", "filled/circle-arrow-right.svg"},
    {"arrow.right.square", "outline/square-arrow-right.svg"},
    {"arrow.up", "outline/arrow-up.svg"},
    {"arrow.up.circle", "outline/circle-arrow-up.svg"},
    {"arrow.up.left", "outline/arrow-up-left.svg"},
    {"arrow.up.left.and.arrow.down.right", "outline/arrows-maximize.svg"},
    {"arrow.up.right", "outline/arrow-up-right.svg"},
    {"arrow.up.to.line", "outline/arrow-bar-to-up.svg"},
    {"arrow.uturn.backward", "outline/arrow-back-up.svg"},
    {"arrow.uturn.backward.square", "outline/restore.svg"},
    {"arrow.uturn.forward", "outline/arrow-forward-up.svg"},
    {"backward.fill", "filled/player-track-prev.svg"},
    {"bell", "outline/bell.svg"},
    {"bubble.left.and.bubble.right", "outline/messages.svg"},
    {"camera", "outline/camera.svg"},
    {"camera.viewfinder", "outline/screenshot.svg"},
    {"character.cursor.ibeam", "outline/cursor-text.svg"},
    {"checkmark", "outline/check.svg"},
    {"checkmark.circle", "outline/circle-check.svg"},
    {"checkmark.square", "outline/square-check.svg"},
    {"chevron.backward", "outline/chevron-left.svg"},
    {"chevron.forward", "outline/chevron-right.svg"},
    {"clipboard", "outline/clipboard.svg"},
    {"computermouse", "outline/mouse.svg"},
    {"computermouse.fill", "filled/mouse.svg"},
    {"cup.and.saucer", "outline/mug.svg"},
    {"cup.and.saucer.fill", "filled/mug.svg"},
    {"desktopcomputer", "outline/device-desktop.svg"},
    {"display.2", "outline/device-desktop-share.svg"},
    {"doc", "outline/file.svg"},
    {"doc.on.clipboard", "outline/clipboard-copy.svg"},
    {"doc.on.doc", "outline/copy.svg"},
    {"doc.plaintext", "outline/file-text.svg"},
    {"doc.text", "outline/file-text.svg"},
    {"doc.text.magnifyingglass", "outline/file-search.svg"},
    {"dot.scope", "outline/focus-centered.svg"},
    {"exclamationmark.circle", "outline/alert-circle.svg"},
    {"exclamationmark.triangle", "outline/alert-triangle.svg"},
    {"eye", "outline/eye.svg"},
    {"eye.slash", "outline/eye-off.svg"},
    {"eye.slash.circle", "outline/eye-closed.svg"},
    {"face.smiling", "outline/mood-smile.svg"},
    {"folder", "outline/folder.svg"},
    {"folder.fill", "filled/folder.svg"},
    {"forward.fill", "filled/player-track-next.svg"},
    {"gearshape", "outline/settings.svg"},
    {"gearshape.2", "outline/settings-2.svg"},
    {"globe", "outline/world.svg"},
    {"gobackward.10", "outline/rewind-backward-10.svg"},
    {"goforward.10", "outline/rewind-forward-10.svg"},
    {"hand.draw", "outline/hand-move.svg"},
    {"hourglass", "outline/hourglass.svg"},
    {"info.circle", "outline/info-circle.svg"},
    {"keyboard", "outline/keyboard.svg"},
    {"light.max", "outline/brightness-up.svg"},
    {"light.min", "outline/brightness-down.svg"},
    {"link", "outline/link.svg"},
    {"list.clipboard", "outline/clipboard-list.svg"},
    {"lock", "outline/lock.svg"},
    {"lock.fill", "filled/lock.svg"},
    {"lock.open", "outline/lock-open.svg"},
    {"macwindow", "outline/app-window.svg"},
    {"macwindow.badge.plus", "outline/browser-plus.svg"},
    {"magnifyingglass", "outline/search.svg"},
    {"menubar.rectangle", "outline/layout-navbar.svg"},
    {"mic", "outline/microphone.svg"},
    {"mic.slash", "outline/microphone-off.svg"},
    {"mic.slash.fill", "outline/microphone-off.svg"},
    {"minus.circle", "outline/circle-minus.svg"},
    {"minus.magnifyingglass", "outline/zoom-out.svg"},
    {"minus.rectangle", "outline/window-minimize.svg"},
    {"moon.zzz", "outline/moon-stars.svg"},
    {"music.note", "outline/music.svg"},
    {"pause.circle", "outline/circle-pause.svg"},
    {"pause.fill", "filled/player-pause.svg"},
    {"play.fill", "filled/player-play.svg"},
    {"play.rectangle", "outline/movie.svg"},
    {"play.slash", "outline/movie-off.svg"},
    {"playpause.fill", "filled/player-play.svg"},
    {"plus", "outline/plus.svg"},
    {"plus.magnifyingglass", "outline/zoom-in.svg"},
    {"plus.square.dashed", "outline/square-plus.svg"},
    {"plus.square.on.square", "outline/copy-plus.svg"},
    {"rectangle.3.group", "outline/layout-dashboard.svg"},
    {"rectangle.and.hand.point.up.left", "outline/hand-click.svg"},
    {"rectangle.center.inset.filled", "outline/app-window-center.svg"},
    {"rectangle.dashed", "outline/square-dashed.svg"},
    {"rectangle.inset.filled", "outline/window-maximize.svg"},
    {"rectangle.lefthalf.filled", "filled/layout-sidebar.svg"},
    {"rectangle.on.rectangle", "outline/box-multiple.svg"},
    {"rectangle.on.rectangle.angled", "outline/stack-back.svg"},
    {"rectangle.righthalf.filled", "filled/layout-sidebar-right.svg"},
    {"rectangle.split.3x1", "outline/columns-3.svg"},
    {"safari", "outline/compass.svg"},
    {"scissors", "outline/scissors.svg"},
    {"slider.horizontal.3", "outline/adjustments-horizontal.svg"},
    {"sparkles", "outline/sparkles.svg"},
    {"speaker.slash", "outline/volume-off.svg"},
    {"speaker.slash.fill", "outline/volume-off.svg"},
    {"speaker.wave.2.fill", "outline/volume.svg"},
    {"square.and.arrow.down", "outline/download.svg"},
    {"square.and.arrow.up", "outline/upload.svg"},
    {"square.grid.2x2", "outline/layout-grid.svg"},
    {"square.grid.3x3", "outline/grid-3x3.svg"},
    {"square.stack.3d.up", "outline/stack-2.svg"},
    {"star", "outline/star.svg"},
    {"stop.circle", "outline/circle-stop.svg"},
    {"sun.max", "outline/sun.svg"},
    {"sun.max.fill", "filled/sun.svg"},
    {"switch.2", "outline/toggle-right.svg"},
    {"text.badge.checkmark", "outline/select-all.svg"},
    {"translate", "outline/language.svg"},
    {"viewfinder", "outline/scan.svg"},
    {"waveform.path", "outline/wave-sine.svg"},
    {"xmark", "outline/x.svg"},
    {"xmark.circle", "outline/circle-x.svg"},
    {"xmark.circle.fill", "filled/circle-x.svg"},
    {"xmark.octagon", "outline/hand-stop.svg"},
    {"xmark.rectangle", "outline/browser-x.svg"},
    {"xmark.square", "outline/square-x.svg"},
    {"zzz", "outline/zzz.svg"},
};

const QHash<QString, QString>& resourcesByName() {
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> byName;
        for (const auto& row : rows) {
            byName.insert(QString::fromLatin1(row.name), QStringLiteral(":/glidra/symbols/") + QLatin1String(row.file));
        }
        return byName;
    }();
    return table;
}

// Renderers parse each file once; the GUI thread is the only painter.
QSvgRenderer* renderer(const QString& resource) {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto& entry = cache[resource];
    if (!entry) entry = std::make_shared<QSvgRenderer>(resource);
    return entry->isValid() ? entry.get() : nullptr;
}

void paintPlaceholder(QPainter& painter, const QRectF& square, const QColor& colour) {
    const double side = square.width();
    QPen pen(colour, std::max(1.0, side / 12));
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double inset = side / 8;
    painter.drawRoundedRect(square.adjusted(inset, inset, -inset, -inset), side / 6, side / 6);
}

class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString name, KitColour colour) : name_(std::move(name)), colour_(colour) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QApplication::palette();
        QColor tint = colour(colour_, palette);
        if (mode == QIcon::Disabled) tint = palette.color(QPalette::Disabled, QPalette::WindowText);
        if (mode == QIcon::Selected) tint = palette.color(QPalette::HighlightedText);
        paintSymbol(*painter, rect, name_, tint);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(), size), mode, state);
        painter.end();
        return QPixmap::fromImage(std::move(image));
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(name_, colour_); }
    QString key() const override { return QStringLiteral("GlidraSymbol"); }

private:
    QString name_;
    KitColour colour_;
};

}  // namespace

std::span<const SymbolRow> symbolRows() { return rows; }

QString symbolResource(QStringView name) { return resourcesByName().value(name.toString()); }

void paintSymbol(QPainter& painter, const QRectF& box, QStringView name, const QColor& colour) {
    const double side = std::min(box.width(), box.height());
    if (side <= 0) return;
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer* svg = nullptr;
    if (const QString resource = symbolResource(name); !resource.isEmpty()) svg = renderer(resource);
    if (!svg) {
        paintPlaceholder(painter, square, colour);
        painter.restore();
        return;
    }
    // Draw the shape into a mask at device resolution, then fill it with the
    // tint: the files' own colour never shows.
    // The painter's scale covers high-density screens and pictures rendered
    // at a larger size alike.
    const QTransform toDevice = painter.deviceTransform();
    const qreal deviceRatio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const qreal ratio =
        std::max({deviceRatio, std::hypot(toDevice.m11(), toDevice.m12()), std::hypot(toDevice.m21(), toDevice.m22())});
    const QSize pixels = (square.size() * ratio).toSize().expandedTo(QSize(1, 1));
    QImage mask(pixels, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        svg->render(&maskPainter, QRectF(QPointF(), QSizeF(pixels)));
        maskPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        maskPainter.fillRect(mask.rect(), colour);
    }
    mask.setDevicePixelRatio(ratio);
    painter.drawImage(square.topLeft(), mask);
    painter.restore();
}

QIcon symbolIcon(const QString& name, KitColour colour) { return QIcon(new SymbolIconEngine(name, colour)); }

}  // namespace glidra::kit
