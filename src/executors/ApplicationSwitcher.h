#pragma once

#include "executors/ApplicationHistory.h"
#include "notices/HUDNotice.h"
#include "platform/Workspace.h"

#include <QMetaObject>
#include <QObject>

namespace glidra {

// Keeps the program's own record of which applications the user activated,
// from its start on, and switches back to the previous one. The application
// entry creates the one instance before anything needs it, so the record
// covers the whole run. Main thread only.
class ApplicationSwitcher final : public QObject {
    Q_OBJECT

public:
    // `ownBundleIdentifier` is the program's own, whose windows never enter
    // the record. Starts observing at once.
    ApplicationSwitcher(Workspace& workspace, std::optional<QString> ownBundleIdentifier, QObject* parent = nullptr);
    ~ApplicationSwitcher() override;

    // Empties the record, records the application in front and follows every
    // later activation.
    void startObserving();

    // Records a regular application with an identifier that is not the
    // program's own; anything else is ignored.
    void record(const std::optional<RunningApplication>& application);

    // Activates the most recently used other regular application that still
    // runs.
    HUDNotice switchToPrevious();

    const ApplicationHistory& history() const { return history_; }

private:
    Workspace& workspace_;
    std::optional<QString> ownBundleIdentifier_;
    ApplicationHistory history_;
    QMetaObject::Connection observation_;
};

}  // namespace glidra
