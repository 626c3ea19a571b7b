#pragma once

#include "platform/LoginItems.h"

#include <QObject>
#include <QString>

namespace glidra {

// The launch-at-login switch of the general settings page: registers the
// program as a login item or takes it off, and says in one line where things
// stand. The state is always read back from the system, so a change made in
// the system's own settings shows up at the next refresh.
class LoginItemController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRegistered READ isRegistered NOTIFY isRegisteredChanged)
    Q_PROPERTY(bool needsApproval READ needsApproval NOTIFY needsApprovalChanged)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    // Starts unregistered with no message; the owner refreshes it at once.
    // `loginItems` must outlive the controller.
    explicit LoginItemController(LoginItems& loginItems, QObject* parent = nullptr);

    // Enabled, or waiting for the user's approval.
    bool isRegistered() const { return isRegistered_; }
    bool needsApproval() const { return needsApproval_; }
    const QString& message() const { return message_; }

    // Reads the status and sets the three properties.
    void refresh();
    // Unregisters when registered, registers otherwise, then refreshes. A
    // failure is never thrown: the real state is shown with the failure text
    // below it until the next refresh.
    void toggle();

Q_SIGNALS:
    void isRegisteredChanged();
    void needsApprovalChanged();
    void messageChanged();

private:
    void setIsRegistered(bool registered);
    void setNeedsApproval(bool needsApproval);
    void setMessage(QString message);

    LoginItems& loginItems_;
    bool isRegistered_ = false;
    bool needsApproval_ = false;
    QString message_;
};

}  // namespace glidra
