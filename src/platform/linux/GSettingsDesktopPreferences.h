#pragma once

#include "platform/DesktopPreferences.h"

#include <QByteArray>

#include <vector>

using GSettings = struct _GSettings;
using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::linux_platform {

// The desktop-icons switch of desktops that have one in GSettings: MATE's
// desktop background and Cinnamon's file manager. Their desktops follow the
// setting at once. Elsewhere (GNOME has no such switch) every write fails.
class GSettingsDesktopPreferences final : public DesktopPreferences {
public:
    struct Switch {
        QByteArray schema;
        QByteArray key;
    };

    // The switches this program knows, the running desktop's first.
    static std::vector<Switch> knownSwitches();

    // Uses the first switch whose schema `source` has (the installed schemas
    // when null), stored through `backend` (the user's when null).
    explicit GSettingsDesktopPreferences(const std::vector<Switch>& switches = knownSwitches(),
                                         GSettingsSchemaSource* source = nullptr, GSettingsBackend* backend = nullptr);
    ~GSettingsDesktopPreferences() override;
    GSettingsDesktopPreferences(const GSettingsDesktopPreferences&) = delete;
    GSettingsDesktopPreferences& operator=(const GSettingsDesktopPreferences&) = delete;

    bool hasSwitch() const { return settings_ != nullptr; }

    std::optional<DefaultsValue> showDesktopIcons() const override;
    void setShowDesktopIcons(const std::optional<DefaultsValue>& value) override { staged_ = value; }
    bool synchronize() override;
    bool reloadDesktop() override { return hasSwitch(); }

private:
    GSettings* settings_ = nullptr;
    QByteArray key_;
    std::optional<DefaultsValue> staged_;
};

}  // namespace glidra::linux_platform
