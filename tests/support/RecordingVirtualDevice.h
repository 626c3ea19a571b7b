#pragma once

#include "platform/linux/VirtualInputDevice.h"

#include <QStringList>

#include <linux/input-event-codes.h>

namespace glidra::test {

// Our virtual input device, recording what reached the kernel: one
// "KEY 29 1"-style line per event, "--" for each SYN_REPORT. It can refuse to
// be created, as /dev/uinput does without access.
class RecordingVirtualDevice final : public linux_platform::VirtualInputDevice {
public:
    bool refuses = false;
    int opens = 0;
    QStringList written;

    bool open() override {
        ++opens;
        return !refuses;
    }
    bool write(std::uint16_t type, std::uint16_t code, std::int32_t value) override {
        if (type == EV_SYN) {
            written.append(QStringLiteral("--"));
        } else {
            const char* name = type == EV_KEY ? "KEY" : type == EV_REL ? "REL" : "?";
            written.append(QStringLiteral("%1 %2 %3").arg(QLatin1String(name)).arg(code).arg(value));
        }
        return true;
    }
    // The lines without the SYN_REPORTs.
    QStringList events() const {
        QStringList out = written;
        out.removeAll(QStringLiteral("--"));
        return out;
    }

    static QString key(std::uint16_t code, int value) { return QStringLiteral("KEY %1 %2").arg(code).arg(value); }
};

}  // namespace glidra::test
