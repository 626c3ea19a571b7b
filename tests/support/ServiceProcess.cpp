#include "support/ServiceProcess.h"

#include <QFile>
#include <QStandardPaths>

namespace glidra::test {

QString startAndReadFirstLine(SpawnedProcess& process, const QString& program, const QStringList& arguments,
                              QString& failure, const QList<QByteArray>& environmentChanges) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        failure = program + QStringLiteral(" is not installed");
        return {};
    }
    QList<QByteArray> argv;
    for (const QString& argument : arguments) argv.append(argument.toLocal8Bit());
    const auto line =
        process.startAndReadLine(QFile::encodeName(found), argv, testEnvironment(environmentChanges), 10'000);
    if (!line) {
        failure = program + QStringLiteral(" printed nothing: ") + QString::fromLocal8Bit(process.log());
        return {};
    }
    if (line->isEmpty()) failure = program + QStringLiteral(" printed an empty line");
    return QString::fromUtf8(*line);
}

}  // namespace glidra::test
