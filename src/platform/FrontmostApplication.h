#pragma once

#include <QString>

#include <optional>

namespace glidra {

// The application the user is working in.
class FrontmostApplication {
public:
    virtual ~FrontmostApplication() = default;

    // Its bundle identifier (on Linux, the desktop-file id); nothing when no
    // application is in front or it has no identifier.
    virtual std::optional<QString> bundleIdentifier() const = 0;
};

}  // namespace glidra
