#pragma once

#include <string>
#include <vector>

namespace glidra::inputd {

// An event node the service reads or hands out, as udev classes it.
struct InputNode {
    enum Kind : unsigned { touchpad = 1u << 0, keyboard = 1u << 1, pointer = 1u << 2 };
    std::string path;  // /dev/input/eventN
    unsigned kinds = 0;
};

// The event nodes of touchpads, keyboards and mice or pointing sticks udev
// knows now; our own virtual device is none of them.
std::vector<InputNode> listInputNodes();

}  // namespace glidra::inputd
