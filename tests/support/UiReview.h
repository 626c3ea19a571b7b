#pragma once

// Palettes and review pictures for the widget tests.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace glidra::test {

inline QPalette lightPalette() {
    QPalette palette(QColor(0xec, 0xec, 0xec));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0x00, 0x7a, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

inline QPalette darkPalette() {
    QPalette palette(QColor(0x32, 0x32, 0x32));
    palette.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

// Sets the application palette for a scope, as a theme change does; the
// widgets hear of it through posted events, delivered here.
class ScopedPalette {
public:
    explicit ScopedPalette(const QPalette& palette) : previous_(QApplication::palette()) { apply(palette); }
    ~ScopedPalette() { apply(previous_); }
    ScopedPalette(const ScopedPalette&) = delete;
    ScopedPalette& operator=(const ScopedPalette&) = delete;

private:
    static void apply(const QPalette& palette) {
        QApplication::setPalette(palette);
        QCoreApplication::sendPostedEvents();
    }

    QPalette previous_;
};

// A widget's picture at twice its size (as on a high-density screen), over
// a backdrop in its palette's window colour with a darker band, so that
// translucent and rounded edges show.
inline QImage pictureOf(QWidget& widget) {
    constexpr int margin = 16;
    const QSize size = widget.size() + QSize(2 * margin, 2 * margin);
    QImage picture(size * 2, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(2);
    const QColor window = widget.palette().color(QPalette::Window);
    picture.fill(window);
    QPainter painter(&picture);
    painter.fillRect(0, size.height() / 2, size.width(), size.height() / 2, window.darker(115));
    widget.render(&painter, QPoint(margin, margin), QRegion(), QWidget::DrawChildren);
    return picture;
}

// Saves a picture under the build tree for a person to look at.
inline QString saveForReview(const QImage& picture, const QString& name) {
    const QString folder = QStringLiteral(GLIDRA_REVIEW_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    picture.save(path);
    return path;
}

}  // namespace glidra::test
