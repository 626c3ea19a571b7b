#include "platform/linux/GnomeScreenKeyboardSettings.h"

#include "platform/linux/GSettingsBooleanKey.h"

#include <QCoreApplication>

#include <gio/gio.h>

#include <functional>

namespace glidra::linux_platform {

namespace {

// One element of the page, answering from functions.
class PageElement final : public AccessibilityElement {
public:
    using Attributes = std::function<std::optional<AccessibilityValue>(const QString&)>;
    using Action = std::function<bool(const QString&)>;

    PageElement(Attributes attributes, Action action)
        : attributes_(std::move(attributes)), action_(std::move(action)) {}

    std::optional<AccessibilityValue> attribute(const QString& name) const override { return attributes_(name); }
    bool performAction(const QString& action) override { return action_ && action_(action); }
    void setMessagingTimeout(double) override {}
    bool isSameElement(const AccessibilityElement& other) const override { return &other == this; }

private:
    Attributes attributes_;
    Action action_;
};

AccessibilityElementRef makePage(std::shared_ptr<GSettings> settings) {
    auto checkbox = std::make_shared<PageElement>(
        [settings](const QString& name) -> std::optional<AccessibilityValue> {
            if (name == QLatin1String("AXRole")) return QStringLiteral("AXCheckBox");
            if (name == QLatin1String("AXIdentifier")) return QStringLiteral("AX_VIRTUAL_KEYBOARD");
            if (name == QLatin1String("AXValue")) {
                return g_settings_get_boolean(settings.get(), GnomeScreenKeyboardSettings::kKey) ? 1.0 : 0.0;
            }
            return std::nullopt;
        },
        [settings](const QString& action) {
            if (action != QLatin1String("AXPress")) return false;
            const char* key = GnomeScreenKeyboardSettings::kKey;
            if (!g_settings_is_writable(settings.get(), key)) return false;
            return bool(g_settings_set_boolean(settings.get(), key, !g_settings_get_boolean(settings.get(), key)));
        });
    auto window = std::make_shared<PageElement>(
        [checkbox](const QString& name) -> std::optional<AccessibilityValue> {
            if (name == QLatin1String("AXRole")) return QStringLiteral("AXWindow");
            if (name == QLatin1String("AXChildren")) return AccessibilityElementList{checkbox};
            return std::nullopt;
        },
        nullptr);
    return std::make_shared<PageElement>(
        [window](const QString& name) -> std::optional<AccessibilityValue> {
            if (name == QLatin1String("AXRole")) return QStringLiteral("AXApplication");
            if (name == QLatin1String("AXWindows")) return AccessibilityElementList{window};
            return std::nullopt;
        },
        nullptr);
}

}  // namespace

bool GnomeScreenKeyboardSettings::followsSetting(const QString& currentDesktop) {
    return namesDesktop(currentDesktop, u"GNOME");
}

GnomeScreenKeyboardSettings::GnomeScreenKeyboardSettings(const QString& currentDesktop, GSettingsSchemaSource* source,
                                                         GSettingsBackend* backend) {
    if (!followsSetting(currentDesktop)) return;
    if (GSettings* settings = openBooleanKey(source, kSchema, kKey, backend)) settings_.reset(settings, g_object_unref);
}

GnomeScreenKeyboardSettings::~GnomeScreenKeyboardSettings() = default;

QCoro::Task<std::optional<AccessibilityKeyboardSettings::Opened>> GnomeScreenKeyboardSettings::openInBackground() {
    if (!settings_) co_return std::nullopt;
    RunningApplication page;
    page.processIdentifier = std::int32_t(QCoreApplication::applicationPid());
    co_return Opened{page, makePage(settings_)};
}

}  // namespace glidra::linux_platform
