#pragma once

#include "platform/DesktopPreferences.h"
#include "platform/linux/CurrentDesktop.h"

#include <QByteArray>
#include <QString>

using GSettings = struct _GSettings;
using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::linux_platform {

// The desktop-icons switch of the running desktop, where it has one in
// GSettings: MATE's desktop background and Cinnamon's file manager, which
// follow the setting at once. Another desktop's switch is never written,
// even with its schema installed: the running desktop would not follow it.
// Elsewhere (GNOME has no such switch) every write fails.
class GSettingsDesktopPreferences final : public DesktopPreferences {
public:
    struct Switch {
        QByteArray schema;
        QByteArray key;

        friend bool operator==(const Switch&, const Switch&) = default;
    };

    // The switch of the desktops that XDG_CURRENT_DESKTOP names; nothing
    // when none of them has one.
    static std::optional<Switch> switchFor(const QString& currentDesktop);

    // Uses the switch when `source` has its schema (the installed schemas
    // when null), stored through `backend` (the user's when null).
    explicit GSettingsDesktopPreferences(const std::optional<Switch>& desktopSwitch = switchFor(currentDesktop()),
                                         GSettingsSchemaSource* source = nullptr, GSettingsBackend* backend = nullptr);
    ~GSettingsDesktopPreferences() override;
    GSettingsDesktopPreferences(const GSettingsDesktopPreferences&) = delete;
    GSettingsDesktopPreferences& operator=(const GSettingsDesktopPreferences&) = delete;

    bool hasDesktopIconsSwitch() const override { return settings_ != nullptr; }

    std::optional<DefaultsValue> showDesktopIcons() const override;
    void setShowDesktopIcons(const std::optional<DefaultsValue>& value) override { staged_ = value; }
    bool synchronize() override;
    bool reloadDesktop() override { return hasDesktopIconsSwitch(); }

private:
    GSettings* settings_ = nullptr;
    QByteArray key_;
    std::optional<DefaultsValue> staged_;
};

}  // namespace glidra::linux_platform
