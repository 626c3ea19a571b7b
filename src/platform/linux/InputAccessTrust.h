#pragma once

#include "platform/AccessibilityTrust.h"

#include <QByteArray>
#include <QStringList>

namespace glidra::linux_platform {

class EvdevInputHub;

// What a log line adds to a failed open of an input device: for a refused
// one, where the access comes from.
const char* missingAccessHint(int error);

// The trust the program needs of the desktop on Linux, by grant: the
// touchpads and the keyboards can be read, /dev/uinput can be written; the
// udev rules shipped with the program grant each to the user at the seat
// (uaccess). Asked afresh each time by opening them, so ACLs, groups and
// security modules have their say. The process counts as trusted with the
// touchpads and /dev/uinput, which the actions that synthesise input need.
class InputAccessTrust final : public AccessibilityTrust {
public:
    explicit InputAccessTrust(const EvdevInputHub& hub, QByteArray uinputPath = "/dev/uinput",
                              QStringList ruleFolders = udevRulesFolders())
        : hub_(hub), uinputPath_(std::move(uinputPath)), ruleFolders_(std::move(ruleFolders)) {}

    bool isProcessTrusted() const override;
    // A device class with no device present counts as granted when its rule
    // is installed: there is nothing to open that would say.
    bool hasInputGrant(InputGrant grant) const override;

private:
    bool ruleInstalled(InputGrant grant) const;

    const EvdevInputHub& hub_;
    QByteArray uinputPath_;
    QStringList ruleFolders_;
};

}  // namespace glidra::linux_platform
