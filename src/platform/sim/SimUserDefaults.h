#pragma once

#include "platform/UserDefaults.h"

#include <QHash>
#include <QStringList>

namespace glidra::sim {

// User defaults in memory. Tests preload any kind of value (garbage included),
// read back which keys the program wrote or removed, make writes fail, and
// restart to see what was made durable.
class SimUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> value(const QString& key) const override;
    bool setValue(const QString& key, const DefaultsValue& value) override;
    bool removeValue(const QString& key) override;
    QString failure() const override { return failure_; }
    QString unreadableNotice() const override { return unreadableNotice_; }
    void unreadableNoticeShown() override { ++unreadableNoticeShown_; }

    // Puts a value in place, durably, without counting it as a write of the
    // program.
    void preload(const QString& key, const DefaultsValue& value) {
        values_.insert(key, value);
        durable_.insert(key, value);
    }

    const QStringList& writtenKeys() const { return written_; }
    const QStringList& removedKeys() const { return removed_; }
    void clearLog() {
        written_.clear();
        removed_.clear();
    }
    QStringList keys() const { return values_.keys(); }

    // Makes every later write fail for `reason`: the change is kept in
    // memory but not made durable, until a write succeeds again.
    void setFailsWrites(bool fails, QString reason = QStringLiteral("No space left on device")) {
        failsWrites_ = fails;
        failureReason_ = std::move(reason);
    }
    // As if the store had found something at start that it could not read.
    void setUnreadableNotice(QString notice) { unreadableNotice_ = std::move(notice); }
    // How often the program said it showed that notice.
    int unreadableNoticeShownCount() const { return unreadableNoticeShown_; }
    // What the next launch of the program would find: the values as the
    // last successful write left them.
    void restart() { values_ = durable_; }

private:
    bool write();

    QHash<QString, DefaultsValue> values_;
    QHash<QString, DefaultsValue> durable_;
    QStringList written_;
    QStringList removed_;
    bool failsWrites_ = false;
    QString failureReason_;
    QString failure_;
    QString unreadableNotice_;
    int unreadableNoticeShown_ = 0;
};

}  // namespace glidra::sim
