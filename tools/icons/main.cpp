// Renders the application icon's SVG into the PNG sizes of the hicolor
// theme, so the one drawing is the source of every size:
//
//   glidra-render-icon ICON.svg OUTPUT-FOLDER NAME SIZE...
//
// writes OUTPUT-FOLDER/SIZExSIZE/NAME.png for each size.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <charconv>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fputs("usage: glidra-render-icon ICON.svg OUTPUT-FOLDER NAME SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "glidra-render-icon: %s is not an SVG image that can be drawn\n", argv[1]);
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        int size = 0;
        const char* end = argv[i] + std::strlen(argv[i]);
        if (std::from_chars(argv[i], end, size).ptr != end || size <= 0 || size > 4096) {
            std::fprintf(stderr, "glidra-render-icon: %s is not a size in pixels\n", argv[i]);
            return 2;
        }
        const QString sized = QStringLiteral("%1/%2x%2").arg(folder).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(sized, name);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        if (!QDir().mkpath(sized) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "glidra-render-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
