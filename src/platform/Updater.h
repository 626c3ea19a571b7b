#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace glidra {

// The update framework: it reads a feed of releases, tells of a newer version
// and installs it once the user agrees in its own dialog. The values it keeps
// and what its dialog hears from the user arrive as signals, always later on
// the main thread, never from inside the call that caused them.
class Updater : public QObject {
    Q_OBJECT
public:
    // The user's answer in the framework's update dialog.
    enum class Choice { install, dismiss, skip };
    Q_ENUM(Choice)

    struct Configuration {
        QUrl feed;
        QByteArray publicKey;  // the feed's signing key, 32 bytes
        // Announce updates found by scheduled checks quietly, as a reminder.
        bool gentleReminders = true;
    };

    // Starts the framework's scheduled checks; the framework's reason when it
    // cannot. Once started it emits the current value of both properties.
    virtual std::optional<QString> start() = 0;

    virtual bool canCheckForUpdates() const = 0;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool value) = 0;
    // A check the user asked for, with the framework's own progress dialog.
    virtual void checkForUpdates() = 0;

Q_SIGNALS:
    void canCheckForUpdatesChanged(bool value);
    void automaticallyChecksForUpdatesChanged(bool value);
    void foundValidUpdate();
    void foundNoUpdate();
    void userMadeChoice(glidra::Updater::Choice choice);
};

// Creates the framework's updater for a feed, not started.
using UpdaterFactory = std::function<std::unique_ptr<Updater>(const Updater::Configuration&)>;

}  // namespace glidra
