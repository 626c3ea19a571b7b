#pragma once

#include "platform/UserDefaults.h"

#include <QHash>
#include <QStringList>

namespace glidra::sim {

// User defaults in memory. Tests preload any kind of value (garbage included)
// and read back which keys the program wrote or removed.
class SimUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> value(const QString& key) const override;
    bool setValue(const QString& key, const DefaultsValue& value) override;
    bool removeValue(const QString& key) override;

    // Puts a value in place without counting it as a write of the program.
    void preload(const QString& key, const DefaultsValue& value) { values_.insert(key, value); }

    const QStringList& writtenKeys() const { return written_; }
    const QStringList& removedKeys() const { return removed_; }
    void clearLog() {
        written_.clear();
        removed_.clear();
    }
    QStringList keys() const { return values_.keys(); }

    // Makes every later write report failure (the value is still kept).
    void setFailsWrites(bool fails) { failsWrites_ = fails; }

private:
    QHash<QString, DefaultsValue> values_;
    QStringList written_;
    QStringList removed_;
    bool failsWrites_ = false;
};

}  // namespace glidra::sim
