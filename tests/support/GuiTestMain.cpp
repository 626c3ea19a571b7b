#include "support/TestEnvironment.h"

#include <QGuiApplication>

// For tests of adapters that need Qt's GUI side (the clipboard): no display,
// the offscreen platform keeps an in-process clipboard.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return glidra::test::runAllTests(argc, argv);
}
