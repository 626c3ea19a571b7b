#pragma once

#include "platform/ApplicationId.h"
#include "platform/LoginItems.h"

#include <QString>

namespace glidra::linux_platform {

// Launch at login through an XDG autostart entry: a desktop file in the
// user's autostart folder that the session starts at login. The entry is the
// registration, when it runs this program; nothing else is stored. An entry
// the user switched off in the session's settings (Hidden or
// X-GNOME-Autostart-enabled=false) still counts as registered, waiting for
// the user to allow it again. The entry is named after the desktop id, as the
// desktop's own autostart settings name it; one at the name earlier versions
// used counts as well, and is replaced by the next change.
class XdgAutostartLoginItems final : public LoginItems {
public:
    // `executable` is the program the entry starts, normally
    // QCoreApplication::applicationFilePath().
    explicit XdgAutostartLoginItems(QString executable, QString autostartFolder = standardFolder());

    // $XDG_CONFIG_HOME/autostart, by default ~/.config/autostart.
    static QString standardFolder();
    static QString entryFileName() { return ownDesktopFileId(); }
    static QString legacyEntryFileName() { return QStringLiteral("glidra.desktop"); }

    QString entryPath() const;
    QString legacyEntryPath() const;

    Status status() const override;
    // Writes the entry atomically, so a crash or a full disk never leaves a
    // half-written file for the session to choke on.
    std::optional<Error> registerApp() override;
    // Removes the entry, at either name; an entry that is already gone is not
    // an error.
    std::optional<Error> unregisterApp() override;

    // The entry as written for `executable`.
    static QByteArray desktopEntry(const QString& executable);
    // What a desktop file at our name says.
    struct Entry {
        bool isEntry = false;   // a [Desktop Entry] group with an Exec line
        bool disabled = false;  // switched off by the user in the session settings
        QString program;        // what the Exec line runs
    };
    static Entry parseEntry(const QByteArray& text);
    // The executable as one argument of an Exec line, quoted and escaped so
    // that spaces, quotes, "$", "%" and backslashes survive.
    static QString execArgument(const QString& executable);
    // The program an Exec value runs: its first argument, unquoted.
    static QString execProgram(const QString& value);

private:
    bool executableExists() const;
    std::optional<Error> removeEntry(const QString& path) const;
    // The same file as the executable, also through links or the PATH.
    bool runsThisProgram(const QString& program) const;

    QString executable_;
    QString folder_;
};

}  // namespace glidra::linux_platform
