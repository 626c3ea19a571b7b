#include "platform/sim/SimProcessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>

namespace glidra::sim {

namespace {

void end(const std::shared_ptr<SimProcessRunner::Child>& child, int status, const QByteArray& output) {
    if (!child->running) return;
    child->running = false;
    if (child->command.standardOutputFile && !output.isEmpty()) {
        QFile file(*child->command.standardOutputFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) file.write(output);
    }
    if (child->abandoned) return;
    auto finished = child->finished;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [finished, status] { finished(status); }, Qt::QueuedConnection);
}

class SimProcess final : public ProcessRunner::Process {
public:
    explicit SimProcess(std::shared_ptr<SimProcessRunner::Child> child) : child_(std::move(child)) {}
    ~SimProcess() override {
        child_->abandoned = true;
        if (child_->running) kill();
    }
    bool isRunning() const override { return child_->running; }
    void terminate() override {
        ++child_->terminations;
        if (!child_->ignoresTerminate) end(child_, ProcessRunner::crashedStatus, {});
    }
    void kill() override {
        ++child_->kills;
        end(child_, ProcessRunner::crashedStatus, {});
    }

private:
    std::shared_ptr<SimProcessRunner::Child> child_;
};

}  // namespace

SimProcessRunner::~SimProcessRunner() {
    for (const auto& child : children_) end(child, ProcessRunner::crashedStatus, {});
}

ProcessRunner::Started SimProcessRunner::start(Command command, Finished finished) {
    if (startError_) return Started{nullptr, *startError_};
    auto child = std::make_shared<Child>();
    child->command = std::move(command);
    child->ignoresTerminate = ignoresTerminate_;
    child->finished = std::move(finished);
    children_.push_back(child);
    if (plannedExit_) {
        const PlannedExit planned = *plannedExit_;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [child, planned] { end(child, planned.status, planned.output); },
            Qt::QueuedConnection);
    }
    return Started{std::make_unique<SimProcess>(child), {}};
}

void SimProcessRunner::exit(std::size_t index, int status, const QByteArray& output) {
    end(children_.at(index), status, output);
}

}  // namespace glidra::sim
