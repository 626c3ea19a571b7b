#pragma once

#include "notices/HUDNotice.h"
#include "platform/DesktopPreferences.h"

#include <QObject>

namespace glidra {

// Hides or shows the icons on the desktop through the desktop's own switch.
// One shared instance; main thread only.
class DesktopIconsController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isHidden READ isHidden NOTIFY isHiddenChanged)

public:
    // Reads the switch once: later changes by other programs are not seen.
    explicit DesktopIconsController(DesktopPreferences& preferences, QObject* parent = nullptr);

    // Flips the switch and has the desktop follow it; a failure leaves the
    // switch as it was found.
    HUDNotice toggle();

    bool isHidden() const { return isHidden_; }
    // Whether the running desktop has a switch to turn.
    bool isAvailable() const { return preferences_.hasDesktopIconsSwitch(); }

Q_SIGNALS:
    void isHiddenChanged();

private:
    void setHidden(bool hidden);

    DesktopPreferences& preferences_;
    bool isHidden_ = false;
};

}  // namespace glidra
