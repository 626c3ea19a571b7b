#pragma once

#include "platform/AccessibilityKeyboardSettings.h"

#include <memory>

using GSettings = struct _GSettings;
using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::linux_platform {

// GNOME's screen keyboard, switched by the desktop's own setting
// (screen-keyboard-enabled of org.gnome.desktop.a11y.applications), which the
// shell follows at once. The setting is presented as the keyboard page's
// switch: a page of one window holding the checkbox, shown by this process
// itself, so nothing takes the focus. Where the schema is not installed (not
// GNOME), the page does not open.
class GnomeScreenKeyboardSettings final : public AccessibilityKeyboardSettings {
public:
    static constexpr const char* kSchema = "org.gnome.desktop.a11y.applications";
    static constexpr const char* kKey = "screen-keyboard-enabled";

    // Looks the schema up in `source` (the installed schemas when null) and
    // stores through `backend` (the user's settings when null).
    explicit GnomeScreenKeyboardSettings(GSettingsSchemaSource* source = nullptr, GSettingsBackend* backend = nullptr);
    ~GnomeScreenKeyboardSettings() override;
    GnomeScreenKeyboardSettings(const GnomeScreenKeyboardSettings&) = delete;
    GnomeScreenKeyboardSettings& operator=(const GnomeScreenKeyboardSettings&) = delete;

    bool hasSetting() const { return settings_ != nullptr; }

    QCoro::Task<std::optional<Opened>> openInBackground() override;

private:
    std::shared_ptr<GSettings> settings_;
};

}  // namespace glidra::linux_platform
