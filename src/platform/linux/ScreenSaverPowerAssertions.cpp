#include "platform/linux/ScreenSaverPowerAssertions.h"

namespace glidra::linux_platform {

namespace {
DBusMethod screenSaver(const char* method) {
    return {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QString::fromLatin1(method)};
}
}  // namespace

std::optional<PowerAssertionId> ScreenSaverPowerAssertions::preventIdleDisplaySleep(const QString& name) {
    const auto reply = callDBus(bus_, screenSaver("Inhibit"), {QStringLiteral("Glidra"), name}, timeoutMs_);
    if (!reply || reply->size() != 1 || reply->first().metaType() != QMetaType::fromType<uint>()) {
        return std::nullopt;
    }
    return reply->first().toUInt();
}

bool ScreenSaverPowerAssertions::release(PowerAssertionId assertion) {
    return callDBus(bus_, screenSaver("UnInhibit"), {QVariant::fromValue(uint(assertion))}, timeoutMs_).has_value();
}

}  // namespace glidra::linux_platform
