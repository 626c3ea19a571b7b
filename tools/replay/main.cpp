#include "replay/Replay.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("glidra-replay"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = glidra::replay::runCommand(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
