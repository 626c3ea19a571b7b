#pragma once

#include "platform/AccessibilityKeyboardSettings.h"
#include "platform/linux/CurrentDesktop.h"

#include <memory>

using GSettings = struct _GSettings;
using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::linux_platform {

// GNOME's screen keyboard, switched by the desktop's own setting
// (screen-keyboard-enabled of org.gnome.desktop.a11y.applications), which the
// shell follows at once. The setting is presented as the keyboard page's
// switch: a page of one window holding the checkbox, shown by this process
// itself, so nothing takes the focus. The page opens only on GNOME with the
// schema installed: another desktop with GNOME's schema installed does not
// follow the setting.
class GnomeScreenKeyboardSettings final : public AccessibilityKeyboardSettings {
public:
    static constexpr const char* kSchema = "org.gnome.desktop.a11y.applications";
    static constexpr const char* kKey = "screen-keyboard-enabled";

    // Whether the desktops that XDG_CURRENT_DESKTOP names follow the setting.
    static bool followsSetting(const QString& currentDesktop);

    // On the desktops `currentDesktop` names, looks the schema up in `source`
    // (the installed schemas when null) and stores through `backend` (the
    // user's settings when null).
    explicit GnomeScreenKeyboardSettings(const QString& currentDesktop = linux_platform::currentDesktop(),
                                         GSettingsSchemaSource* source = nullptr, GSettingsBackend* backend = nullptr);
    ~GnomeScreenKeyboardSettings() override;
    GnomeScreenKeyboardSettings(const GnomeScreenKeyboardSettings&) = delete;
    GnomeScreenKeyboardSettings& operator=(const GnomeScreenKeyboardSettings&) = delete;

    bool hasSetting() const { return settings_ != nullptr; }

    QCoro::Task<std::optional<Opened>> openInBackground() override;

private:
    std::shared_ptr<GSettings> settings_;
};

}  // namespace glidra::linux_platform
