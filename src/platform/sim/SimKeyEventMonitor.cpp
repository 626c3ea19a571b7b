#include "platform/sim/SimKeyEventMonitor.h"

namespace glidra::sim {

KeyEventMonitor::Token SimKeyEventMonitor::addLocalKeyDownMonitor(Handler handler) {
    return registry_.add(SimEventMonitorRegistry::Scope::local, std::move(handler));
}

KeyEventMonitor::Token SimKeyEventMonitor::addGlobalKeyDownMonitor(Handler handler) {
    return registry_.add(SimEventMonitorRegistry::Scope::global, std::move(handler));
}

void SimKeyEventMonitor::press(const InputEvent& event, Target target) {
    if (event.type != InputEvent::Type::keyDown) return;
    registry_.deliver(
        target == Target::ownWindow ? SimEventMonitorRegistry::Scope::local : SimEventMonitorRegistry::Scope::global,
        event);
}

InputEvent SimKeyEventMonitor::userKeyDown(std::uint16_t keyCode, std::uint64_t flags) {
    InputEvent event;
    event.type = InputEvent::Type::keyDown;
    event.keyCode = keyCode;
    event.flags = flags;
    event.origin = EventOrigin::hardware;
    event.sourceProcessId = 0;
    event.userData = 0;
    return event;
}

}  // namespace glidra::sim
