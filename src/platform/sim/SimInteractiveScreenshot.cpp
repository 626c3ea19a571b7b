#include "platform/sim/SimInteractiveScreenshot.h"

#include "platform/sim/SimPasteboard.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace glidra::sim {

namespace {

class SimSelection final : public InteractiveScreenshot::Selection {
public:
    explicit SimSelection(std::shared_ptr<SimInteractiveScreenshot::Record> record) : record_(std::move(record)) {}
    ~SimSelection() override { record_->abandoned = true; }
    bool isRunning() const override { return record_->running; }
    // Ended by the program: nothing is reported.
    void terminate() override {
        ++record_->terminations;
        record_->running = false;
    }

private:
    std::shared_ptr<SimInteractiveScreenshot::Record> record_;
};

void report(const std::shared_ptr<SimInteractiveScreenshot::Record>& record, int status) {
    auto finished = record->finished;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [finished, status] { finished(status); }, Qt::QueuedConnection);
}

}  // namespace

QCoro::Task<std::unique_ptr<InteractiveScreenshot::Selection>> SimInteractiveScreenshot::launch(Finished finished) {
    co_await answers.turn();
    if (failsToLaunch_) co_return std::unique_ptr<Selection>();
    auto record = std::make_shared<Record>();
    record->finished = std::move(finished);
    launches_.push_back(record);
    co_return std::unique_ptr<Selection>(std::make_unique<SimSelection>(record));
}

void SimInteractiveScreenshot::pickWindow() {
    pasteboard_.copyImage();
    end(0);
}

void SimInteractiveScreenshot::end(int status) {
    if (launches_.empty()) return;
    const auto& record = launches_.back();
    if (!record->running) return;
    record->running = false;
    if (!record->abandoned) report(record, status);
}

void SimInteractiveScreenshot::deliverLateEnd(std::size_t index, int status) {
    const auto& record = launches_.at(index);
    record->running = false;
    report(record, status);
}

}  // namespace glidra::sim
