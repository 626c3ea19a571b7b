#pragma once

#include "notices/HUDNotice.h"
#include "platform/PowerAssertions.h"

#include <QObject>

#include <functional>
#include <optional>

namespace glidra {

// Keeps the display and the system awake while the user wants it, by
// holding one power assertion. One shared instance; main thread only.
class KeepAwakeController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)

public:
    // Takes a new assertion (nothing on failure) and releases one (false on
    // failure).
    using Create = std::function<std::optional<PowerAssertionId>()>;
    using Release = std::function<bool(PowerAssertionId)>;

    KeepAwakeController(Create create, Release release, QObject* parent = nullptr);
    // Holds the system's idle display sleep off under the program's name.
    explicit KeepAwakeController(PowerAssertions& power, QObject* parent = nullptr);

    // True takes the assertion, false releases it; a repeated request keeps
    // the state and repeats its notice.
    HUDNotice setActive(bool active);

    bool isActive() const { return isActive_; }
    std::optional<PowerAssertionId> assertion() const { return assertion_; }

Q_SIGNALS:
    void isActiveChanged();

private:
    void setAssertion(std::optional<PowerAssertionId> assertion);

    bool isActive_ = false;
    std::optional<PowerAssertionId> assertion_;
    Create create_;
    Release release_;
};

}  // namespace glidra
