#pragma once

#include "actions/ShortcutTarget.h"
#include "common/Result.h"
#include "dispatch/AdjustmentHUD.h"
#include "executors/ShortcutsCommandProcess.h"
#include "notices/HUDNotice.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

namespace glidra {

// Runs shortcuts through the `shortcuts` command, one run per shortcut at a
// time, and lists the user's shortcuts for the shortcut picker. Main thread
// only.
class ShortcutActionService final : public QObject {
    Q_OBJECT

public:
    // Why the list could not be read: the tool could not run, or it ended
    // with another status than 0 (the platform's "unknown file read error").
    struct ListError {
        enum class Kind { outputFile, launch, fileReadUnknown };
        Kind kind = Kind::fileReadUnknown;
        QString description;

        friend bool operator==(const ListError&, const ListError&) = default;
    };

    // `hudSettings` gates and places the service's own HUD, like the trackpad
    // controller's.
    ShortcutActionService(ProcessRunner& runner, Scheduler& scheduler, const AdjustmentHUDFactory& makeHUD,
                          AdjustmentHUDSettings hudSettings, QObject* parent = nullptr);
    ~ShortcutActionService() override;

    // Runs the shortcut and returns its outcome; says at once on the
    // service's own HUD that it is running.
    QCoro::Task<HUDNotice> start(ShortcutTarget target);

    // The user's shortcuts, sorted by name as people sort names (numbers by
    // value; equal names keep the tool's order).
    QCoro::Task<Result<std::vector<ShortcutTarget>, ListError>> loadShortcuts();

    bool isRunning(const QString& id) const { return running_.contains(id); }
    AdjustmentHUD& hud() const { return *hud_; }

    // Sorts in place as loadShortcuts does.
    static void sortByName(std::vector<ShortcutTarget>& targets);

    static constexpr double runTimeout = 120;
    static constexpr double listTimeout = 10;

private:
    ProcessRunner& runner_;
    Scheduler& scheduler_;
    QSet<QString> running_;
    std::unique_ptr<AdjustmentHUD> hud_;
};

}  // namespace glidra
