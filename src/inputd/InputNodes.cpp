#include "inputd/InputNodes.h"

#include "platform/evdev/OwnVirtualDevice.h"

#include <libudev.h>

#include <cstring>

namespace glidra::inputd {

namespace {

bool flag(udev_device* device, const char* key) {
    const char* value = udev_device_get_property_value(device, key);
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

std::vector<InputNode> listInputNodes() {
    std::vector<InputNode> nodes;
    udev* context = udev_new();
    if (!context) return nodes;
    udev_enumerate* enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        udev_device* device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device) continue;
        const char* node = udev_device_get_devnode(device);
        const char* sysname = udev_device_get_sysname(device);
        if (node && sysname && std::strncmp(sysname, "event", 5) == 0) {
            udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device, "input", nullptr);
            const char* name = parent ? udev_device_get_sysattr_value(parent, "name") : nullptr;
            InputNode input{node, 0};
            if (flag(device, "ID_INPUT_TOUCHPAD")) {
                input.kinds |= InputNode::touchpad;
            } else if (flag(device, "ID_INPUT_MOUSE") || flag(device, "ID_INPUT_POINTINGSTICK")) {
                input.kinds |= InputNode::pointer;
            }
            if (flag(device, "ID_INPUT_KEYBOARD")) input.kinds |= InputNode::keyboard;
            const bool own = name && std::strcmp(name, evdev::kOwnVirtualDeviceName) == 0;
            if (input.kinds != 0 && !own) nodes.push_back(input);
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return nodes;
}

}  // namespace glidra::inputd
