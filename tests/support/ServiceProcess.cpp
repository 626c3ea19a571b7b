#include "support/ServiceProcess.h"

namespace glidra::test {

QString startAndReadFirstLine(QProcess& process, const QString& program, const QStringList& arguments,
                              QString& failure) {
    process.start(program, arguments);
    if (!process.waitForStarted(10'000)) {
        failure = program + QStringLiteral(" did not start: ") + process.errorString();
        return {};
    }
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10'000)) {
            failure =
                program + QStringLiteral(" printed nothing: ") + QString::fromLocal8Bit(process.readAllStandardError());
            return {};
        }
    }
    const QString line = QString::fromUtf8(process.readLine()).trimmed();
    if (line.isEmpty()) failure = program + QStringLiteral(" printed an empty line");
    return line;
}

void stopService(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(5'000)) {
        process.kill();
        process.waitForFinished(5'000);
    }
}

}  // namespace glidra::test
