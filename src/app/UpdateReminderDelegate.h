#pragma once

#include "platform/Updater.h"

#include <QObject>

namespace glidra {

// Hears the update framework: keeps whether a newer version was found and
// not skipped, which the sidebar button and the check button show.
class UpdateReminderDelegate final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasUpdate READ hasUpdate NOTIFY hasUpdateChanged)

public:
    using QObject::QObject;

    // Updates found by scheduled checks are announced as a gentle reminder.
    static constexpr bool supportsGentleScheduledUpdateReminders() { return true; }

    void didFindValidUpdate() { setHasUpdate(true); }
    void didNotFindUpdate() { setHasUpdate(false); }
    // Skipping the version forgets it; installing or dismissing keeps it.
    void userDidMakeChoice(Updater::Choice choice) {
        if (choice == Updater::Choice::skip) setHasUpdate(false);
    }

    bool hasUpdate() const { return hasUpdate_; }

Q_SIGNALS:
    void hasUpdateChanged();

private:
    void setHasUpdate(bool value) {
        if (hasUpdate_ == value) return;
        hasUpdate_ = value;
        Q_EMIT hasUpdateChanged();
    }

    bool hasUpdate_ = false;
};

}  // namespace glidra
