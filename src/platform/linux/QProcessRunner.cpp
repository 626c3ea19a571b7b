#include "platform/linux/QProcessRunner.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QProcess>

#include <memory>

namespace glidra::linux_platform {

namespace {

class QtProcess final : public ProcessRunner::Process {
public:
    QtProcess(std::unique_ptr<QProcess> process, std::shared_ptr<bool> wanted)
        : process_(std::move(process)), wanted_(std::move(wanted)) {}
    ~QtProcess() override {
        *wanted_ = false;
        if (process_->state() != QProcess::NotRunning) {
            process_->kill();
            process_->waitForFinished(1000);
        }
    }
    bool isRunning() const override { return process_->state() != QProcess::NotRunning; }
    void terminate() override { process_->terminate(); }
    void kill() override { process_->kill(); }

private:
    std::unique_ptr<QProcess> process_;
    std::shared_ptr<bool> wanted_;
};

}  // namespace

ProcessRunner::Started QProcessRunner::start(Command command, Finished finished) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(command.program);
    process->setArguments(command.arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->setStandardOutputFile(command.standardOutputFile.value_or(QProcess::nullDevice()), QIODevice::Append);

    // The end is reported from the event loop, after the signal has returned
    // (the handler may destroy the process), and only while the process is
    // still wanted.
    const auto wanted = std::make_shared<bool>(true);
    QObject::connect(process.get(), &QProcess::finished,
                     [wanted, finished = std::move(finished)](int exitCode, QProcess::ExitStatus exitStatus) {
                         const int status = exitStatus == QProcess::NormalExit ? exitCode : crashedStatus;
                         QMetaObject::invokeMethod(
                             QCoreApplication::instance(),
                             [wanted, finished, status] {
                                 if (*wanted) finished(status);
                             },
                             Qt::QueuedConnection);
                     });
    process->start();
    if (!process->waitForStarted(startTimeoutMs)) {
        *wanted = false;
        const QString error = process->errorString();
        process->kill();
        process->waitForFinished(1000);
        return Started{nullptr, error};
    }
    return Started{std::make_unique<QtProcess>(std::move(process), wanted), {}};
}

}  // namespace glidra::linux_platform
