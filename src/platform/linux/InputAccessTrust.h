#pragma once

#include "platform/AccessibilityTrust.h"

#include <QByteArray>

namespace glidra::linux_platform {

class EvdevInputHub;

// What a log line adds to a failed open of an input device: for a refused
// one, where the access comes from.
const char* missingAccessHint(int error);

// The trust the program needs of the desktop on Linux: the touchpads can be
// read and /dev/uinput can be written, which the udev rule shipped with the
// program grants to the user at the seat (uaccess). Asked afresh each time
// by opening them, so ACLs and security modules have their say.
class InputAccessTrust final : public AccessibilityTrust {
public:
    explicit InputAccessTrust(const EvdevInputHub& hub, QByteArray uinputPath = "/dev/uinput")
        : hub_(hub), uinputPath_(std::move(uinputPath)) {}

    bool isProcessTrusted() const override;

private:
    const EvdevInputHub& hub_;
    QByteArray uinputPath_;
};

}  // namespace glidra::linux_platform
