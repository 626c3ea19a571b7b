#include "support/TestEnvironment.h"

#include <QApplication>

// Widgets and screens without a display: the offscreen platform, set before
// the application object reads it.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return glidra::test::runAllTests(argc, argv);
}
