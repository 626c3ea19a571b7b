#include "platform/linux/EvdevKeyEventMonitor.h"

namespace glidra::linux_platform {

EvdevKeyEventMonitor::EvdevKeyEventMonitor(EvdevInputHub& hub)
    : monitors_(hub, unsigned(InputDeviceClass::keyboard),
                [](const InputEvent& event) { return event.type == InputEvent::Type::keyDown; }) {}

KeyEventMonitor::Token EvdevKeyEventMonitor::addLocalKeyDownMonitor(Handler handler) {
    return monitors_.add(EvdevEventMonitors::Scope::local, std::move(handler));
}

KeyEventMonitor::Token EvdevKeyEventMonitor::addGlobalKeyDownMonitor(Handler handler) {
    return monitors_.add(EvdevEventMonitors::Scope::global, std::move(handler));
}

}  // namespace glidra::linux_platform
