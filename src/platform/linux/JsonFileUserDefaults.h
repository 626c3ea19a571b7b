#pragma once

#include "platform/UserDefaults.h"

#include <QHash>
#include <QJsonObject>
#include <QSet>

#include <chrono>

namespace glidra::linux_platform {

// The user defaults as one typed JSON document (normally
// ~/.config/Glidra/settings.json). A write takes the document as it is on
// disk, under a lock file, puts in only the keys this process changed, and
// replaces it atomically: a crash never leaves it truncated, and two
// processes do not undo each other's changes. A document that was read but
// cannot be decoded is moved aside, never overwritten, and the store starts
// empty; one that cannot be read at all is left alone, and the store runs on
// what it holds in memory, refusing every write, with failure() saying why.
//
// Each key maps to an object naming its kind, so kinds survive the trip:
//   {"edgeWidth": {"double": 0.08}, "restoreEnabled": {"bool": true},
//    "freeformRules": {"data": "<base64>"}, ...}
//
// The file and its folder are for the user alone. At start the store takes
// away any access others have to them, and removes the temporary copies that
// a save cut short by a kill left beside the file.
class JsonFileUserDefaults final : public UserDefaults {
public:
    // A larger document is not read: it is taken as damaged.
    static constexpr qint64 kMaximumDocumentSize = 64 * 1024 * 1024;
    // Holds a fingerprint of the entries the store could not read, once the
    // user was told of them: they are told again only when they change.
    static constexpr const char* kToldUnreadableKey = "unreadableEntriesTold";

    // `lockTimeout` is how long a write waits for another process's write.
    explicit JsonFileUserDefaults(QString path, std::chrono::milliseconds lockTimeout = std::chrono::seconds(5),
                                  qint64 maximumDocumentSize = kMaximumDocumentSize);

    // The standard location: $XDG_CONFIG_HOME/Glidra/settings.json.
    static QString standardPath();

    std::optional<DefaultsValue> value(const QString& key) const override;
    bool setValue(const QString& key, const DefaultsValue& value) override;
    bool removeValue(const QString& key) override;
    QString failure() const override { return failure_; }
    QString unreadableNotice() const override { return unreadableNotice_; }
    void unreadableNoticeShown() override;

    const QString& path() const { return path_; }
    // Where an undecodable document was moved, if one was.
    const QString& setAsidePath() const { return setAsidePath_; }
    // Keys of the document that held values of no known kind; they are kept
    // in the file but not offered to the program.
    int unreadableEntryCount() const { return unreadableEntries_; }

private:
    enum class Reading { absent, read, undecodable, failed };
    struct Document {
        Reading reading = Reading::absent;
        QJsonObject object;  // when read
        QString failure;     // when failed
    };
    Document read() const;
    void load();
    void tidyAtStart();
    bool save();
    bool setAside();
    bool fail(QString reason);

    QString path_;
    std::chrono::milliseconds lockTimeout_;
    qint64 maximumDocumentSize_;
    QString setAsidePath_;
    QHash<QString, DefaultsValue> values_;
    // Set or removed by this process and not yet saved.
    QSet<QString> changed_;
    QString failure_;
    // Why the document could not be read at start; every write is refused.
    QString readFailure_;
    int unreadableEntries_ = 0;
    // Of the unreadable entries, while the user has not been told of them.
    QString untoldFingerprint_;
    // Said of what loading found; a document set aside later, at a write,
    // loses nothing this process holds.
    QString unreadableNotice_;
};

}  // namespace glidra::linux_platform
