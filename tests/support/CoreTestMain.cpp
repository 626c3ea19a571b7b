#include "support/TestEnvironment.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return glidra::test::runAllTests(argc, argv);
}
