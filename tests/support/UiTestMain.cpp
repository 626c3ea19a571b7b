#include "support/TestEnvironment.h"
#include "views/kit/TextStyle.h"

#include <QApplication>

namespace {

// The offscreen platform warns of every window operation it lacks (raise,
// size hints); those say nothing about the program.
QtMessageHandler defaultHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    // It has no system tray either.
    if (message.contains(QLatin1String("QPlatformNativeInterface::systemTrayWindowChanged"))) return;
    if (defaultHandler) defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietHandler);
    // No desktop in CI: widgets and windows render offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    glidra::kit::useApplicationFont();
    return glidra::test::runAllTests(argc, argv);
}
