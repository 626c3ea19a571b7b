#include "platform/linux/UdevInputDevices.h"

#include <QSocketNotifier>

#include <libudev.h>

namespace glidra::linux_platform {

UdevInputDevices::UdevInputDevices(QObject* parent) : QObject(parent), udev_(udev_new()) {}

UdevInputDevices::~UdevInputDevices() {
    notifier_.reset();
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
}

std::optional<InputNode> UdevInputDevices::nodeOf(udev_device* device) {
    QMap<QByteArray, QByteArray> properties;
    for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        properties.insert(udev_list_entry_get_name(entry), udev_list_entry_get_value(entry));
    }
    QByteArray name;
    if (udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr)) {
        name = udev_device_get_sysattr_value(parent, "name");
        name = name.trimmed();
    }
    const InputDeviceClasses classes = classifyInputDevice(properties, name);
    if (classes == 0) return std::nullopt;
    return InputNode{properties.value("DEVNAME"), name, classes};
}

std::optional<std::vector<InputNode>> UdevInputDevices::list() const {
    if (!udev_) return std::nullopt;
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    if (!enumerate) return std::nullopt;
    std::optional<std::vector<InputNode>> nodes;
    if (udev_enumerate_add_match_subsystem(enumerate, "input") >= 0 && udev_enumerate_scan_devices(enumerate) >= 0) {
        nodes.emplace();
        for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate); entry != nullptr;
             entry = udev_list_entry_get_next(entry)) {
            udev_device* device = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
            if (!device) continue;
            if (auto node = nodeOf(device)) nodes->push_back(std::move(*node));
            udev_device_unref(device);
        }
    }
    udev_enumerate_unref(enumerate);
    return nodes;
}

bool UdevInputDevices::watch() {
    if (monitor_) return true;
    if (!udev_) return false;
    udev_monitor* monitor = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor) return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "input", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        return false;
    }
    monitor_ = monitor;
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UdevInputDevices::receive);
    return true;
}

void UdevInputDevices::receive() {
    // One notification can stand for several queued uevents.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const QByteArray action = udev_device_get_action(device);
        const char* devnode = udev_device_get_devnode(device);
        if (devnode != nullptr) {
            if (action == "add") {
                if (const auto node = nodeOf(device)) Q_EMIT nodeAdded(*node);
            } else if (action == "change") {
                if (const auto node = nodeOf(device)) Q_EMIT nodeChanged(*node);
            } else if (action == "remove") {
                const auto node = nodeOf(device);
                Q_EMIT nodeRemoved(node.value_or(InputNode{devnode, {}, 0}));
            }
        }
        udev_device_unref(device);
    }
}

}  // namespace glidra::linux_platform
