#include "platform/sim/SimMouseButtonMonitor.h"

namespace glidra::sim {

MouseButtonMonitor::Token SimMouseButtonMonitor::addLocalMonitor(Handler handler) {
    return registry_.add(SimEventMonitorRegistry::Scope::local, std::move(handler));
}

MouseButtonMonitor::Token SimMouseButtonMonitor::addGlobalMonitor(Handler handler) {
    return registry_.add(SimEventMonitorRegistry::Scope::global, std::move(handler));
}

void SimMouseButtonMonitor::click(const InputEvent& event, Target target) {
    if (!isMonitoredType(event.type)) return;
    registry_.deliver(
        target == Target::ownWindow ? SimEventMonitorRegistry::Scope::local : SimEventMonitorRegistry::Scope::global,
        event);
}

InputEvent SimMouseButtonMonitor::userButton(InputEvent::Type type, bool fromTouchpad) {
    InputEvent event;
    event.type = type;
    event.origin = EventOrigin::hardware;
    event.sourceProcessId = 0;
    event.userData = 0;
    event.isTouchSubtype = fromTouchpad;
    switch (type) {
        case InputEvent::Type::leftMouseDown:
        case InputEvent::Type::leftMouseUp:
            event.mouseButton = 0;
            break;
        case InputEvent::Type::rightMouseDown:
        case InputEvent::Type::rightMouseUp:
            event.mouseButton = 1;
            break;
        default:
            event.mouseButton = 2;
            break;
    }
    return event;
}

}  // namespace glidra::sim
