#pragma once

#include "platform/AccessibilityTrust.h"

#include <QByteArray>
#include <QStringList>

namespace glidra::linux_platform {

class EvdevInputHub;
class InputServiceClient;

// What a log line adds to a failed open of an input device: for a refused
// one, where the access comes from.
const char* missingAccessHint(int error);

// The trust the program needs of the desktop on Linux, by grant: the
// touchpads and the keyboards can be read, /dev/uinput can be written; the
// udev rules shipped with the program grant each to the user at the seat
// (uaccess). Asked afresh each time by opening them, so ACLs, groups and
// security modules have their say. The process counts as trusted with the
// touchpads and /dev/uinput, which the actions that synthesise input need.
// While the input service takes us, the touchpads and the virtual device are
// its to give, and no node needs to open to the user.
class InputAccessTrust final : public AccessibilityTrust {
public:
    explicit InputAccessTrust(const EvdevInputHub& hub, QByteArray uinputPath = "/dev/uinput",
                              QStringList ruleFolders = udevRulesFolders(), const InputServiceClient* service = nullptr,
                              QByteArray serviceSocket = "/run/glidra-inputd.sock")
        : hub_(hub),
          uinputPath_(std::move(uinputPath)),
          ruleFolders_(std::move(ruleFolders)),
          service_(service),
          serviceSocket_(std::move(serviceSocket)) {}

    bool isProcessTrusted() const override;
    // A device class with no device present counts as granted when its rule
    // is installed: there is nothing to open that would say.
    bool hasInputGrant(InputGrant grant) const override;
    // Answering while connected; installed where the service's socket is.
    InputService inputService() const override;

private:
    bool ruleInstalled(InputGrant grant) const;
    bool serviceConnected() const;

    const EvdevInputHub& hub_;
    QByteArray uinputPath_;
    QStringList ruleFolders_;
    const InputServiceClient* service_;
    QByteArray serviceSocket_;
};

}  // namespace glidra::linux_platform
