#pragma once

#include "platform/UserDefaults.h"

#include <QHash>

namespace glidra::linux_platform {

// The user defaults as one typed JSON document (normally
// ~/.config/Glidra/settings.json). Every change rewrites the whole document
// atomically, so a crash never leaves it truncated. A document that cannot
// be read at start is moved aside, never overwritten, and the store starts
// empty.
//
// Each key maps to an object naming its kind, so kinds survive the trip:
//   {"edgeWidth": {"double": 0.08}, "restoreEnabled": {"bool": true},
//    "freeformRules": {"data": "<base64>"}, ...}
class JsonFileUserDefaults final : public UserDefaults {
public:
    explicit JsonFileUserDefaults(QString path);

    // The standard location: $XDG_CONFIG_HOME/Glidra/settings.json.
    static QString standardPath();

    std::optional<DefaultsValue> value(const QString& key) const override;
    bool setValue(const QString& key, const DefaultsValue& value) override;
    bool removeValue(const QString& key) override;
    QString failure() const override { return failure_; }

    const QString& path() const { return path_; }
    // Where an unreadable document was moved at start, if it was.
    const QString& setAsidePath() const { return setAsidePath_; }
    // Keys of the document that held values of no known kind; they are kept
    // in the file but not offered to the program.
    int unreadableEntryCount() const { return unreadableEntries_; }

private:
    void load();
    bool save();

    QString path_;
    QString setAsidePath_;
    QHash<QString, DefaultsValue> values_;
    int unreadableEntries_ = 0;
    QString failure_;
};

}  // namespace glidra::linux_platform
