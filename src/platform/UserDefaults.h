#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace glidra {

// One stored value. The kinds stay apart: a Boolean never reads back as a
// number, nor data as a string, because the settings treat a value of the
// wrong kind as absent.
using DefaultsValue = std::variant<bool, std::int64_t, double, QString, QByteArray>;

// The application's user defaults: a flat typed key-value store, written
// through at once.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual std::optional<DefaultsValue> value(const QString& key) const = 0;
    // False when the change could not be made durable. The store keeps it in
    // memory either way and carries it again with its next write, so a write
    // that succeeds makes every value the store holds durable.
    virtual bool setValue(const QString& key, const DefaultsValue& value) = 0;
    virtual bool removeValue(const QString& key) = 0;
    // Why the values are not durable, in words the user can be shown: the
    // reason the last write failed, or why the stored values could not be
    // read at start (every write then fails, so that they are never
    // replaced). Empty when the last write succeeded.
    virtual QString failure() const = 0;
    // What the store found at start but could not offer, in words the user
    // can be shown once: a document it kept aside as unreadable, named, or
    // entries it could not read. Empty when it loaded all it found, and when
    // the same entries were shown at an earlier start.
    virtual QString unreadableNotice() const = 0;
    // The notice was shown to the user: the same entries are not told again.
    virtual void unreadableNoticeShown() = 0;

    // Typed readings; a value of another kind reads as absent.
    std::optional<bool> boolean(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    // A number of either kind as a double.
    std::optional<double> number(const QString& key) const;

    // The store's own Boolean reading: absent is false, a number is true when
    // not zero, a string is true when it reads "YES", "true" or a non-zero
    // integer, as the platform's defaults do.
    bool boolValue(const QString& key) const;
};

}  // namespace glidra
