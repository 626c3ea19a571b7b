#include "platform/linux/EvdevMouseButtonMonitor.h"

namespace glidra::linux_platform {

EvdevMouseButtonMonitor::EvdevMouseButtonMonitor(EvdevInputHub& hub)
    : monitors_(hub, InputDeviceClass::touchpad | InputDeviceClass::pointer,
                [](const InputEvent& event) { return isMonitoredType(event.type); }) {}

MouseButtonMonitor::Token EvdevMouseButtonMonitor::addLocalMonitor(Handler handler) {
    return monitors_.add(EvdevEventMonitors::Scope::local, std::move(handler));
}

MouseButtonMonitor::Token EvdevMouseButtonMonitor::addGlobalMonitor(Handler handler) {
    return monitors_.add(EvdevEventMonitors::Scope::global, std::move(handler));
}

}  // namespace glidra::linux_platform
