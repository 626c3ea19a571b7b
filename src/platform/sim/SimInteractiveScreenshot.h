#pragma once

#include "platform/InteractiveScreenshot.h"
#include "platform/sim/SimAnswers.h"

#include <memory>
#include <vector>

namespace glidra::sim {

class SimPasteboard;

// The interactive screenshot as tests drive it: every launch is recorded;
// the test decides how each selection ends (a picture on the clipboard,
// Escape, a failure), launches fail on demand, and their answers can be
// held.
class SimInteractiveScreenshot final : public InteractiveScreenshot {
public:
    struct Record {
        bool running = true;
        int terminations = 0;
        // The program gave the selection up; its end is not reported.
        bool abandoned = false;
        Finished finished;
    };

    explicit SimInteractiveScreenshot(SimPasteboard& pasteboard) : pasteboard_(pasteboard) {}

    QCoro::Task<std::unique_ptr<Selection>> launch(Finished finished) override;

    void setFailsToLaunch(bool fails) { failsToLaunch_ = fails; }
    const std::vector<std::shared_ptr<Record>>& launches() const { return launches_; }

    // The user clicks a window: its picture goes on the clipboard and the
    // latest selection ends normally.
    void pickWindow();
    // The user presses Escape: the clipboard stays as it was.
    void pressEscape() { end(0); }
    // The latest selection ends with `status`, reported unless abandoned.
    void end(int status);
    // Reports the end of selection `index` even though it was abandoned: the
    // notice was already on its way when the program gave the selection up.
    void deliverLateEnd(std::size_t index, int status);

    SimAnswers answers;

private:
    SimPasteboard& pasteboard_;
    bool failsToLaunch_ = false;
    std::vector<std::shared_ptr<Record>> launches_;
};

}  // namespace glidra::sim
