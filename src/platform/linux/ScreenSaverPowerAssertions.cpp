#include "platform/linux/ScreenSaverPowerAssertions.h"

#include "platform/LogCategories.h"

#include <QLoggingCategory>

namespace glidra::linux_platform {

namespace {

DBusMethod screenSaver(const char* method) {
    return {QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"),
            QStringLiteral("org.freedesktop.ScreenSaver"), QString::fromLatin1(method)};
}

std::optional<uint> cookieOf(const QList<QVariant>& arguments) {
    if (arguments.size() != 1 || arguments.first().metaType() != QMetaType::fromType<uint>()) return std::nullopt;
    return arguments.first().toUInt();
}

}  // namespace

QCoro::Task<std::optional<PowerAssertionId>> ScreenSaverPowerAssertions::preventIdleDisplaySleep(QString name) {
    const QDBusConnection bus = bus_;
    // Keep-awake was reported as failed by then: an inhibit held now would
    // keep the screen on with nothing to switch it off.
    const LateReply giveBack = [bus](const QList<QVariant>& arguments) {
        const auto cookie = cookieOf(arguments);
        if (!cookie) return;
        qCInfo(lcServices, "The screen saver granted an inhibit too late; lifting it.");
        auto lifting = callDBus(bus, screenSaver("UnInhibit"), {QVariant::fromValue(*cookie)});
        Q_UNUSED(lifting);
    };
    auto asking = callDBusWithin(bus, screenSaver("Inhibit"), {QStringLiteral("Glidra"), name}, timeoutMs_, giveBack);
    const auto reply = co_await asking;
    if (!reply) co_return std::nullopt;
    co_return cookieOf(*reply);
}

QCoro::Task<bool> ScreenSaverPowerAssertions::release(PowerAssertionId assertion) {
    auto asking = callDBus(bus_, screenSaver("UnInhibit"), {QVariant::fromValue(uint(assertion))}, timeoutMs_);
    const auto reply = co_await asking;
    co_return reply.has_value();
}

}  // namespace glidra::linux_platform
