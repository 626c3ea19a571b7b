#pragma once

#include "app/UpdateReminderDelegate.h"
#include "platform/BundleInfo.h"
#include "platform/Updater.h"

#include <QObject>
#include <QString>

#include <memory>

namespace glidra {

// Starts the update framework when the build names a sound feed, mirrors
// its state for the interface and offers a manual check. Updates are only
// announced; the user confirms before anything is installed. One instance for
// the whole process; main thread only.
class UpdateController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isReady READ isReady NOTIFY isReadyChanged)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates WRITE
                   setAutomaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)

public:
    // Creates nothing of the framework until start().
    UpdateController(const BundleInfo& bundle, UpdaterFactory makeUpdater, QObject* parent = nullptr);
    ~UpdateController() override;

    // Once per process: a second call does nothing once an updater exists.
    void start();
    // Asks the framework for a check when it is running and free.
    void checkForUpdates();

    bool isReady() const { return isReady_; }
    bool canCheckForUpdates() const { return canCheckForUpdates_; }
    QString status() const { return status_; }
    bool automaticallyChecksForUpdates() const { return automaticallyChecksForUpdates_; }
    // From the interface; passed on to the framework once it runs, but never
    // a value that came from the framework itself.
    void setAutomaticallyChecksForUpdates(bool value);

    QString checkButtonTitle() const;
    UpdateReminderDelegate& reminder() { return reminder_; }
    const UpdateReminderDelegate& reminder() const { return reminder_; }
    bool hasUpdater() const { return updater_ != nullptr; }

    // A feed the framework may use: an https address with a host and no user
    // or password (the scheme spelled in lower case), and a key that is
    // strict base64 of exactly 32 bytes.
    static bool isValidConfiguration(const QString& feed, const QString& publicKey);

Q_SIGNALS:
    void isReadyChanged();
    void canCheckForUpdatesChanged();
    void statusChanged();
    void automaticallyChecksForUpdatesChanged();

private:
    void setReady(bool value);
    void setCanCheckForUpdates(bool value);
    void setStatus(const QString& value);
    void reflectAutomaticChecks(bool value);

    const BundleInfo& bundle_;
    UpdaterFactory makeUpdater_;
    bool isReady_ = false;
    bool canCheckForUpdates_ = false;
    QString status_;
    bool automaticallyChecksForUpdates_ = false;
    bool isReflectingPreferences_ = false;
    std::unique_ptr<Updater> updater_;
    UpdateReminderDelegate reminder_;
};

}  // namespace glidra
