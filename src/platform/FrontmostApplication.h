#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// The application the user is working in.
class FrontmostApplication {
public:
    virtual ~FrontmostApplication() = default;

    // Its bundle identifier (on Linux, the desktop-file id); nothing when no
    // application is in front or it has no identifier.
    virtual std::optional<QString> bundleIdentifier() const = 0;

    // Its process identifier; nothing when no application is in front.
    virtual std::optional<std::int32_t> processIdentifier() const = 0;
};

}  // namespace glidra
