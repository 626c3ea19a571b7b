#pragma once

#include "platform/linux/InputDeviceClass.h"

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;
struct udev;
struct udev_device;
struct udev_monitor;

namespace glidra::linux_platform {

// One input event node the program has a use for.
struct InputNode {
    QByteArray devnode;  // /dev/input/eventN
    QByteArray name;     // the device's own name
    InputDeviceClasses classes = 0;

    friend bool operator==(const InputNode&, const InputNode&) = default;
};

// The input devices udev knows: listed on request, and watched for arrivals
// and removals on the main loop. Without udev (no /sys, no library context)
// the list cannot be read and the watch cannot start.
class UdevInputDevices final : public QObject {
    Q_OBJECT

public:
    explicit UdevInputDevices(QObject* parent = nullptr);
    ~UdevInputDevices() override;

    // The nodes present now that are of at least one class; nothing when
    // udev cannot be asked.
    std::optional<std::vector<InputNode>> list() const;

    // Starts watching; false when udev refuses. Idempotent.
    bool watch();
    bool isWatching() const { return monitor_ != nullptr; }

Q_SIGNALS:
    void nodeAdded(const glidra::linux_platform::InputNode& node);
    // `node` holds what the removal said of it; its classes may be 0.
    void nodeRemoved(const glidra::linux_platform::InputNode& node);
    // Its properties or permissions may have changed (udevadm trigger).
    void nodeChanged(const glidra::linux_platform::InputNode& node);

private:
    void receive();
    static std::optional<InputNode> nodeOf(udev_device* device);

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace glidra::linux_platform
