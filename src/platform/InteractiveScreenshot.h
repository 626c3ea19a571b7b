#pragma once

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>

namespace glidra {

// The desktop's interactive screenshot: the user picks one window (or
// cancels), and its picture is put on the clipboard.
class InteractiveScreenshot {
public:
    // One running selection.
    class Selection {
    public:
        // Destroying a selection drops its finished handler: a selection
        // given up is never reported.
        virtual ~Selection() = default;
        virtual bool isRunning() const = 0;
        // Ends the selection if it still runs; reports nothing.
        virtual void terminate() = 0;
    };

    // Called on the main thread from the event loop, once, when the
    // selection ends: 0 when the tool ended normally, anything else when it
    // failed. A cancelled selection may end normally; the clipboard tells.
    using Finished = std::function<void(int status)>;

    virtual ~InteractiveScreenshot() = default;

    // Starts a selection; nothing when the tool cannot be started. Answers
    // without blocking, once the tool is known to run or not.
    virtual QCoro::Task<std::unique_ptr<Selection>> launch(Finished finished) = 0;
};

}  // namespace glidra
