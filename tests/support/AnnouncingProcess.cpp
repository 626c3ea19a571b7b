#include "support/AnnouncingProcess.h"

namespace glidra::test {

AnnouncingProcess::AnnouncingProcess(const QString& program, const QStringList& arguments) {
    process_.start(program, arguments);
    if (!process_.waitForStarted(10'000)) {
        failure_ = program + QStringLiteral(" did not start: ") + process_.errorString();
        return;
    }
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(10'000)) {
            failure_ = program + QStringLiteral(" printed nothing: ") +
                       QString::fromLocal8Bit(process_.readAllStandardError());
            return;
        }
    }
    announcement_ = process_.readLine().trimmed();
    if (announcement_.isEmpty()) failure_ = program + QStringLiteral(" printed an empty line");
}

AnnouncingProcess::~AnnouncingProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5'000)) {
        process_.kill();
        process_.waitForFinished(5'000);
    }
}

}  // namespace glidra::test
