#pragma once

#include "platform/FileBookmarks.h"

namespace glidra::linux_platform {

// Linux has no file bookmarks that follow a moved item: no bookmark resolves,
// and the chosen path is what opens.
class LinuxFileBookmarks final : public FileBookmarks {
public:
    std::optional<QString> resolve(const QByteArray&) override { return std::nullopt; }
};

}  // namespace glidra::linux_platform
