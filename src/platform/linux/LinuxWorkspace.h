#pragma once

#include "platform/Workspace.h"

namespace glidra::linux_platform {

// Applications are desktop entries, read through GIO; URLs open with the
// desktop's default handlers.
class LinuxWorkspace final : public Workspace {
public:
    bool openUrl(const QUrl& url) override;
    std::optional<QString> applicationLocation(const QString& bundleIdentifier) override;
    std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) override;
};

}  // namespace glidra::linux_platform
