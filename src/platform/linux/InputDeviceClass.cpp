#include "platform/linux/InputDeviceClass.h"

namespace glidra::linux_platform {

InputDeviceClasses classifyInputDevice(const QMap<QByteArray, QByteArray>& properties, const QByteArray& name) {
    // The input parent (inputN) carries the same properties; only its event
    // node can be read.
    const QByteArray devnode = properties.value("DEVNAME");
    if (!devnode.startsWith("/dev/input/event") || devnode.size() == int(sizeof("/dev/input/event")) - 1) return 0;
    if (properties.value("SUBSYSTEM", "input") != "input") return 0;
    if (name == kOwnVirtualDeviceName) return 0;

    const auto set = [&properties](const char* key) { return properties.value(key) == "1"; };
    InputDeviceClasses classes = 0;
    if (set("ID_INPUT_TOUCHPAD")) classes |= unsigned(InputDeviceClass::touchpad);
    if (set("ID_INPUT_KEYBOARD")) classes |= unsigned(InputDeviceClass::keyboard);
    // A touchpad's pointer motion and buttons come with its frames.
    if (!set("ID_INPUT_TOUCHPAD") && (set("ID_INPUT_MOUSE") || set("ID_INPUT_POINTINGSTICK"))) {
        classes |= unsigned(InputDeviceClass::pointer);
    }
    return classes;
}

}  // namespace glidra::linux_platform
