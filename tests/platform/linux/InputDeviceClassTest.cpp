#include "platform/linux/InputDeviceClass.h"

#include <gtest/gtest.h>

namespace glidra::linux_platform {
namespace {

using Properties = QMap<QByteArray, QByteArray>;

Properties eventNode(std::initializer_list<std::pair<QByteArray, QByteArray>> extra) {
    Properties properties{{"DEVNAME", "/dev/input/event7"}, {"SUBSYSTEM", "input"}, {"ID_INPUT", "1"}};
    for (const auto& [key, value] : extra) properties.insert(key, value);
    return properties;
}

TEST(InputDeviceClassTest, UdevPropertiesNameTheClassesOfAnEventNode) {
    struct Case {
        const char* what;
        Properties properties;
        QByteArray name;
        InputDeviceClasses expected;
    };
    const auto touchpad = unsigned(InputDeviceClass::touchpad);
    const auto keyboard = unsigned(InputDeviceClass::keyboard);
    const auto pointer = unsigned(InputDeviceClass::pointer);
    const Case cases[] = {
        {"touchpad", eventNode({{"ID_INPUT_TOUCHPAD", "1"}}), "SYNA Touchpad", touchpad},
        {"keyboard", eventNode({{"ID_INPUT_KEYBOARD", "1"}, {"ID_INPUT_KEY", "1"}}), "AT keyboard", keyboard},
        {"mouse", eventNode({{"ID_INPUT_MOUSE", "1"}}), "USB mouse", pointer},
        {"pointing stick", eventNode({{"ID_INPUT_POINTINGSTICK", "1"}}), "TrackPoint", pointer},
        // A touchpad's motion and buttons come with its frames.
        {"touchpad that is also a mouse", eventNode({{"ID_INPUT_TOUCHPAD", "1"}, {"ID_INPUT_MOUSE", "1"}}), "pad",
         touchpad},
        {"keyboard with a stick", eventNode({{"ID_INPUT_KEYBOARD", "1"}, {"ID_INPUT_POINTINGSTICK", "1"}}), "kbd",
         keyboard | pointer},
        // Keys alone (power button, lid) make no keyboard.
        {"power button", eventNode({{"ID_INPUT_KEY", "1"}}), "Power Button", 0},
        {"touchscreen", eventNode({{"ID_INPUT_TOUCHSCREEN", "1"}}), "screen", 0},
        {"property set to 0", eventNode({{"ID_INPUT_TOUCHPAD", "0"}}), "pad", 0},
        {"input parent", Properties{{"SUBSYSTEM", "input"}, {"ID_INPUT_TOUCHPAD", "1"}}, "pad", 0},
        {"legacy mouse node",
         Properties{{"DEVNAME", "/dev/input/mouse0"}, {"SUBSYSTEM", "input"}, {"ID_INPUT_MOUSE", "1"}}, "m", 0},
        {"bare event prefix", Properties{{"DEVNAME", "/dev/input/event"}, {"ID_INPUT_KEYBOARD", "1"}}, "k", 0},
        {"our own virtual device", eventNode({{"ID_INPUT_KEYBOARD", "1"}, {"ID_INPUT_MOUSE", "1"}}),
         kOwnVirtualDeviceName, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifyInputDevice(c.properties, c.name), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace glidra::linux_platform
