#pragma once

#include "platform/Updater.h"

namespace glidra::linux_platform {

// Linux builds carry no update framework: a build given a feed says at start
// that the update service is unavailable. Everything else is inert.
class UnavailableUpdater final : public Updater {
    Q_OBJECT
public:
    std::optional<QString> start() override;
    bool canCheckForUpdates() const override { return false; }
    bool automaticallyChecksForUpdates() const override { return false; }
    void setAutomaticallyChecksForUpdates(bool) override {}
    void checkForUpdates() override {}

    static UpdaterFactory factory();
};

}  // namespace glidra::linux_platform
