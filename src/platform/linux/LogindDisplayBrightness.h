#pragma once

#include "platform/DisplayBrightness.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <optional>

namespace glidra::linux_platform {

// The built-in display's backlight: the first one under /sys/class/backlight
// (firmware ones before platform ones before raw ones, as desktops choose),
// read there, and set through logind's Session.SetBrightness, which needs no
// root. The display has one id, kBuiltInDisplay; a machine without a
// backlight (a desktop, a container) has no brightness control at all.
//
// A backlight has few steps on some machines: a level is kept as set, and
// read back as set while the hardware shows the step it rounds to, so that
// small steps add up instead of being lost to the rounding. The change is
// asked of logind without waiting (every call has a timeout).
class LogindDisplayBrightness final : public DisplayBrightness {
public:
    explicit LogindDisplayBrightness(QString backlightRoot = QStringLiteral("/sys/class/backlight"),
                                     QDBusConnection bus = QDBusConnection::systemBus(), int timeoutMs = 2'000);

    // False without a backlight, or while logind has not (yet) answered for
    // our session.
    bool load() override;
    std::optional<std::vector<DisplayId>> onlineDisplays(int maximum) override;
    bool isBuiltin(DisplayId display) override { return display == kBuiltInDisplay; }
    std::optional<float> brightness(DisplayId display) override;
    // True when logind was asked; false without a backlight or a bus.
    bool setBrightness(DisplayId display, float level) override;

    // The backlight in use, e.g. "intel_backlight"; empty when none.
    const QString& backlight() const { return name_; }

    static constexpr DisplayId kBuiltInDisplay = 1;
    static constexpr const char* kSessionPath = "/org/freedesktop/login1/session/auto";

    // The hardware value for a level 0...1, clamped and rounded.
    static std::int64_t rawValue(float level, std::int64_t maximum);
    // The level of a hardware value: `remembered` when it rounds to that
    // value, the value's own fraction otherwise.
    static float levelOf(std::int64_t raw, std::int64_t maximum, std::optional<float> remembered);

private:
    std::optional<std::int64_t> readNumber(const QString& file) const;
    QDBusMessage sessionCall(const QString& interface, const QString& method) const;
    QString choose() const;

    QString root_;
    QDBusConnection bus_;
    int timeoutMs_;
    QString name_;
    std::optional<float> remembered_;
    bool sessionKnown_ = false;
    // Answers arrive here, and not once the adapter is gone.
    QObject lifetime_;
};

}  // namespace glidra::linux_platform
