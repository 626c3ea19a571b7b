#pragma once

#include "notices/HUDNotice.h"
#include "platform/WindowControl.h"

#include <QCoro/QCoroTask>

#include <memory>
#include <optional>

namespace glidra {

// Window actions beyond layout. Main thread only.
class WindowAction {
public:
    explicit WindowAction(WindowControl& windows) : windows_(windows) {}

    // Closes the focused window of the front application, as its close button
    // does.
    QCoro::Task<HUDNotice> closeFrontWindow();

    // Minimises the focused window of the front application; nothing when no
    // focused window can be seen or it would not be minimised, so that the
    // desktop's own shortcut can be tried.
    QCoro::Task<std::optional<HUDNotice>> minimizeFrontWindow();

private:
    WindowControl& windows_;
    // Expires with the executor: a request answered after that changes
    // nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>();
};

}  // namespace glidra
