#include "platform/linux/EvdevNode.h"

#include "platform/linux/EvdevInputTranslator.h"

#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace glidra::linux_platform {

namespace {

double seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

constexpr std::size_t kKeyBytes = KEY_MAX / 8 + 1;

bool testBit(const unsigned char* bits, unsigned bit) { return (bits[bit / 8] >> (bit % 8)) & 1u; }

}  // namespace

EvdevNode::~EvdevNode() { close(); }

bool EvdevNode::open() { return adopt(::open(info_.devnode.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)); }

bool EvdevNode::adopt(int fd) {
    close();
    if (fd < 0) {
        // open(2) said -1 and set errno; a service's answer is the errno.
        if (fd != -1) errno = -fd;
        return false;
    }
    libevdev* device = nullptr;
    if (const int rc = libevdev_new_from_fd(fd, &device); rc < 0) {
        ::close(fd);
        errno = -rc;
        return false;
    }
    fd_ = fd;
    evdev_ = device;
    monotonic_ = libevdev_set_clock_id(device, CLOCK_MONOTONIC) == 0;
    clockOffset_ = monotonic_ ? 0.0 : seconds(CLOCK_MONOTONIC) - seconds(CLOCK_REALTIME);
    description_ = describe(device);
    syncing_ = false;
    readFailed = false;
    grabbed = false;
    grabPending = false;
    ungrabPending = false;
    ++openCount;
    return true;
}

void EvdevNode::close() {
    if (evdev_) libevdev_free(evdev_);
    evdev_ = nullptr;
    // The input service keeps its own copy of a descriptor it handed over,
    // and a grab lasts while any copy is open: let it go before closing.
    if (fd_ >= 0 && grabbed) ::ioctl(fd_, EVIOCGRAB, 0);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    grabbed = false;
    grabPending = false;
    ungrabPending = false;
}

evdev::DeviceDescription EvdevNode::describe(libevdev* device) {
    evdev::DeviceDescription description;
    description.name = libevdev_get_name(device) ? libevdev_get_name(device) : "";
    description.bustype = std::uint16_t(libevdev_get_id_bustype(device));
    description.vendor = std::uint16_t(libevdev_get_id_vendor(device));
    description.product = std::uint16_t(libevdev_get_id_product(device));
    description.version = std::uint16_t(libevdev_get_id_version(device));
    description.properties.assign(INPUT_PROP_CNT / 8 + 1, 0);
    for (unsigned property = 0; property < INPUT_PROP_CNT; ++property) {
        if (libevdev_has_property(device, property))
            description.properties[property / 8] |= std::uint8_t(1u << (property % 8));
    }
    for (const unsigned type : {unsigned(EV_KEY), unsigned(EV_ABS)}) {
        if (!libevdev_has_event_type(device, type)) continue;
        const int maximum = libevdev_event_type_get_max(type);
        auto& bits = description.eventBits[std::uint16_t(type)];
        bits.assign(std::size_t(maximum) / 8 + 1, 0);
        for (int code = 0; code <= maximum; ++code) {
            if (libevdev_has_event_code(device, type, unsigned(code)))
                bits[std::size_t(code) / 8] |= std::uint8_t(1u << (code % 8));
        }
    }
    for (unsigned code = 0; code <= ABS_MAX; ++code) {
        const input_absinfo* info = libevdev_get_abs_info(device, code);
        if (!info) continue;
        description.axes[std::uint16_t(code)] =
            evdev::AxisRange{info->minimum, info->maximum, info->fuzz, info->flat, info->resolution, false};
    }
    return description;
}

evdev::FrameAssembler::DeviceState EvdevNode::deviceState() const {
    evdev::FrameAssembler::DeviceState state;
    if (!evdev_) return state;
    // libevdev read the slots (EVIOCGMTSLOTS) when it took the descriptor and
    // follows every event since: a slot's values that the kernel will not
    // send again are here.
    const int slots = libevdev_get_num_slots(evdev_);
    for (int slot = 0; slot < slots; ++slot) {
        const auto value = [this, slot](unsigned code) {
            return libevdev_get_slot_value(evdev_, unsigned(slot), code);
        };
        state.slots.push_back({value(ABS_MT_TRACKING_ID), value(ABS_MT_POSITION_X), value(ABS_MT_POSITION_Y),
                               value(ABS_MT_PRESSURE), value(ABS_MT_DISTANCE)});
    }
    state.currentSlot = std::max(0, libevdev_get_current_slot(evdev_));
    for (const unsigned code :
         {BTN_TOUCH, BTN_TOOL_FINGER, BTN_TOOL_DOUBLETAP, BTN_TOOL_TRIPLETAP, BTN_TOOL_QUADTAP, BTN_TOOL_QUINTTAP}) {
        if (libevdev_get_event_value(evdev_, EV_KEY, code) != 0) state.heldKeys.push_back(std::uint16_t(code));
    }
    return state;
}

namespace {
std::atomic<std::chrono::steady_clock::duration> lastReportRead{};
}  // namespace

std::chrono::steady_clock::time_point EvdevNode::lastReportReadAt() {
    return std::chrono::steady_clock::time_point(lastReportRead.load(std::memory_order_relaxed));
}

EvdevNode::ReadStatus EvdevNode::read(std::vector<evdev::EvdevEvent>& out) {
    if (!evdev_) return ReadStatus::failed;
    // Stamped as the read returns, when it returned the end of a packet.
    bool reportRead = false;
    const auto stamp = [&reportRead] {
        if (reportRead) {
            lastReportRead.store(std::chrono::steady_clock::now().time_since_epoch(), std::memory_order_relaxed);
        }
    };
    // Enough for a burst; the caller comes back while there is more.
    for (int i = 0; i < 256; ++i) {
        input_event event{};
        const int rc =
            libevdev_next_event(evdev_, syncing_ ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (rc == -EAGAIN) {
            if (!syncing_) {
                stamp();
                return ReadStatus::drained;
            }
            syncing_ = false;  // resynchronised; back to the stream
            continue;
        }
        if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            syncing_ = true;
        } else if (rc != LIBEVDEV_READ_STATUS_SUCCESS) {
            return ReadStatus::failed;
        }
        const double time = double(event.input_event_sec) + double(event.input_event_usec) * 1e-6 + clockOffset_;
        out.push_back(evdev::EvdevEvent{time, event.type, event.code, event.value});
        reportRead = reportRead || (event.type == EV_SYN && event.code == SYN_REPORT);
    }
    stamp();
    return ReadStatus::more;
}

std::vector<std::uint16_t> EvdevNode::heldKeys() const {
    std::vector<std::uint16_t> held;
    if (fd_ < 0) return held;
    unsigned char bits[kKeyBytes] = {};
    if (ioctl(fd_, EVIOCGKEY(sizeof(bits)), bits) < 0) return held;
    for (unsigned code = 0; code <= KEY_MAX; ++code) {
        if (testBit(bits, code)) held.push_back(std::uint16_t(code));
    }
    return held;
}

bool EvdevNode::capsLockLit() const {
    if (fd_ < 0) return false;
    // The length libevdev asks with: whole longs.
    unsigned char bits[sizeof(unsigned long)] = {};
    if (ioctl(fd_, EVIOCGLED(sizeof(bits)), bits) < 0) return false;
    return testBit(bits, LED_CAPSL);
}

bool EvdevNode::holdsKeyOrButton() const {
    for (const std::uint16_t code : heldKeys()) {
        if (EvdevInputTranslator::isKeyboardKey(code) || (code >= BTN_MOUSE && code <= BTN_TASK)) return true;
    }
    return false;
}

bool EvdevNode::holdsTouch() const {
    for (const std::uint16_t code : heldKeys()) {
        if (code == BTN_TOUCH || (code >= BTN_TOOL_PEN && code <= BTN_TOOL_QUADTAP) || code == BTN_TOOL_QUINTTAP) {
            return true;
        }
    }
    return false;
}

bool EvdevNode::setGrab(bool grab) {
    if (fd_ < 0) return !grab;
    return ioctl(fd_, EVIOCGRAB, grab ? 1 : 0) == 0;
}

}  // namespace glidra::linux_platform
