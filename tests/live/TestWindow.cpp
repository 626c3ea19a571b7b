// A plain native window for the live desktop tests: one application with a
// desktop id of the test's choosing, a title and a minimum size, drawn in one
// colour. It prints "shown" once the desktop has shown it.

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTextStream>

#include <cstdio>

namespace {

class PlainWindow final : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(), size()), QColor(0x2e, 0x6f, 0x9e));
        if (!shown_) {
            shown_ = true;
            std::puts("shown");
            std::fflush(stdout);
        }
    }

private:
    bool shown_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption appId(QStringLiteral("app-id"), QStringLiteral("desktop id"), QStringLiteral("id"));
    const QCommandLineOption title(QStringLiteral("title"), QStringLiteral("window title"), QStringLiteral("title"));
    const QCommandLineOption minimum(QStringLiteral("minimum"), QStringLiteral("minimum size WxH"),
                                     QStringLiteral("size"));
    parser.addOptions({appId, title, minimum});
    parser.process(app);
    // On Wayland this is the toplevel's application id.
    QGuiApplication::setDesktopFileName(parser.value(appId));

    PlainWindow window;
    window.setTitle(parser.value(title));
    const QStringList size = parser.value(minimum).split(QLatin1Char('x'));
    if (size.size() == 2) window.setMinimumSize(QSize(size[0].toInt(), size[1].toInt()));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
