#pragma once

#include "common/Completion.h"
#include "notices/HUDNotice.h"
#include "platform/PowerAssertions.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <deque>
#include <functional>
#include <optional>

namespace glidra {

// Keeps the display and the system awake while the user wants it, by
// holding one power assertion. One shared instance; main thread only.
//
// The system answers without blocking; a request made while another waits
// for its answer takes its turn after it, so two quick requests never take
// two assertions or release one twice.
class KeepAwakeController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)

public:
    // Takes a new assertion (nothing on failure) and releases one (false on
    // failure).
    using Create = std::function<QCoro::Task<std::optional<PowerAssertionId>>()>;
    using Release = std::function<QCoro::Task<bool>(PowerAssertionId)>;

    KeepAwakeController(Create create, Release release, QObject* parent = nullptr);
    // Holds the system's idle display sleep off under the program's name.
    explicit KeepAwakeController(PowerAssertions& power, QObject* parent = nullptr);
    ~KeepAwakeController() override;

    // True takes the assertion, false releases it; a repeated request keeps
    // the state and repeats its notice.
    QCoro::Task<HUDNotice> setActive(bool active);
    // setActive with the negation of isActive as it stands when the request's
    // turn comes.
    QCoro::Task<HUDNotice> toggle();

    bool isActive() const { return isActive_; }
    std::optional<PowerAssertionId> assertion() const { return assertion_; }

Q_SIGNALS:
    void isActiveChanged();

private:
    // `wanted` nothing: the negation of the state at the request's turn.
    QCoro::Task<HUDNotice> change(std::optional<bool> wanted);
    void setAssertion(std::optional<PowerAssertionId> assertion);
    void passTurn();

    bool isActive_ = false;
    std::optional<PowerAssertionId> assertion_;
    Create create_;
    Release release_;
    // A request is waiting for the system's answer; later ones wait in line.
    bool busy_ = false;
    std::deque<Completion<bool>> waiting_;
};

}  // namespace glidra
