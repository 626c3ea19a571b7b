#pragma once

#include <QString>

#include <optional>

namespace glidra {

// Whether the program starts when the user logs in. The registration lives
// in the system; the program stores nothing of it.
class LoginItems {
public:
    enum class Status {
        notRegistered,
        enabled,
        // Registered, but the user has to allow it in the system's settings
        // before it takes effect.
        requiresApproval,
        // The system cannot find the program to register.
        notFound,
    };

    // The system's own description of what went wrong, shown to the user.
    struct Error {
        QString description;
        friend bool operator==(const Error&, const Error&) = default;
    };

    virtual ~LoginItems() = default;

    virtual Status status() const = 0;
    // Each gives the failure, or nothing when the change was made.
    virtual std::optional<Error> registerApp() = 0;
    virtual std::optional<Error> unregisterApp() = 0;
};

}  // namespace glidra
