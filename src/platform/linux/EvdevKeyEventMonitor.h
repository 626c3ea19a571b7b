#pragma once

#include "platform/KeyEventMonitor.h"
#include "platform/linux/EvdevEventMonitors.h"

namespace glidra::linux_platform {

// Key-downs of the user's keyboards (a held key's repeats among them). Our own
// virtual device is no keyboard of the user's, so what we post is never seen.
class EvdevKeyEventMonitor final : public KeyEventMonitor {
public:
    explicit EvdevKeyEventMonitor(EvdevInputHub& hub);

    Token addLocalKeyDownMonitor(Handler handler) override;
    Token addGlobalKeyDownMonitor(Handler handler) override;
    void removeMonitor(Token token) override { monitors_.remove(token); }

private:
    EvdevEventMonitors monitors_;
};

}  // namespace glidra::linux_platform
