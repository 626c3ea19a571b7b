#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/InputThreadPriority.h"

namespace glidra::linux_platform {

LinuxPlatform::LinuxPlatform() : LinuxPlatform(Options{}) {}

LinuxPlatform::LinuxPlatform(Options givenOptions) : options(std::move(givenOptions)) {
    eventPoster.routeThrough([this](const InputEvent& event) { return eventTap.filterOwnEvent(event); });
    QObject::connect(&systemEvents, &SystemEvents::sessionDidResignActive, &input,
                     [this] { input.setSuspended(true); });
    QObject::connect(&systemEvents, &SystemEvents::sessionDidBecomeActive, &input,
                     [this] { input.setSuspended(false); });
    if (options.raiseInputThreads) {
        auto raising =
            raiseInputThreads(threadPriority, input.readerThread(), RealtimeKitThreadPriority::currentThread());
        Q_UNUSED(raising);
    }
}

LinuxPlatform::~LinuxPlatform() = default;

}  // namespace glidra::linux_platform
