#pragma once

#include "platform/evdev/DeviceDescription.h"
#include "platform/evdev/EvdevEvent.h"
#include "platform/evdev/FrameAssembler.h"
#include "platform/linux/UdevInputDevices.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct libevdev;

namespace glidra::linux_platform {

// One input event node of the user's: the device present, and while the
// program reads it, its one descriptor (read-only, non-blocking). The object
// lives as long as the device is present, so its address is a stable device
// reference. Opening, closing and the ioctls run under the hub's lock; the
// processing state below is the reader thread's.
class EvdevNode {
public:
    explicit EvdevNode(InputNode info) : info_(std::move(info)) {}
    ~EvdevNode();

    EvdevNode(const EvdevNode&) = delete;
    EvdevNode& operator=(const EvdevNode&) = delete;

    const InputNode& info() const { return info_; }
    const QByteArray& devnode() const { return info_.devnode; }

    // Opens the node and switches its events to the monotonic clock; a
    // kernel (or mock) that refuses the switch keeps its wall-clock times,
    // which are then moved onto the monotonic clock as they are read. False
    // when the node cannot be opened or read (errno says why).
    bool open();
    // The same with a descriptor of the node opened elsewhere (the input
    // service), which the node then owns; a negative errno fails as open does.
    bool adopt(int fd);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // The node's description, read when it was opened.
    const evdev::DeviceDescription& description() const { return description_; }
    // What the node's slots and touch keys hold as of the last event read (at
    // first, what the kernel held when it was opened): where a frame
    // assembler that starts reading here begins.
    evdev::FrameAssembler::DeviceState deviceState() const;
    bool reportsMonotonicTime() const { return monotonic_; }

    enum class ReadStatus { more, drained, failed };
    // Appends the events available now (resynchronised after lost events as
    // libevdev does it: SYN_DROPPED, then the true state, then SYN_REPORT).
    // `failed` when the node is gone or broken; it should be closed.
    ReadStatus read(std::vector<evdev::EvdevEvent>& out);
    // When a read of any node last returned with a packet's SYN_REPORT, on the
    // monotonic clock: where the program's own part of a frame's road starts.
    static std::chrono::steady_clock::time_point lastReportReadAt();

    // The keys and buttons held now (EVIOCGKEY), as the kernel keeps them.
    std::vector<std::uint16_t> heldKeys() const;
    // Caps Lock's light is on (EVIOCGLED).
    bool capsLockLit() const;
    // A keyboard key or mouse button is down: a grab now would keep its
    // release from the desktop.
    bool holdsKeyOrButton() const;
    // A finger touches (BTN_TOUCH or a BTN_TOOL_* key is down).
    bool holdsTouch() const;
    bool setGrab(bool grab);

    // --- grab state, under the hub's lock ---
    bool grabbed = false;
    bool grabPending = false;    // wanted, waits until no key or button is held
    bool ungrabPending = false;  // let go, waits until nothing is held or touched
    // The errno of the last failed open that was logged, 0 after one that
    // worked: a node that keeps failing the same way is logged once.
    int loggedOpenError = 0;

    // --- the reader thread's ---
    std::unique_ptr<evdev::FrameAssembler> assembler;
    std::vector<evdev::EvdevEvent> partialPacket;
    // Kept for their storage, so that a read allocates nothing once they
    // have grown: the events of one read, and the frame being assembled.
    std::vector<evdev::EvdevEvent> readEvents;
    evdev::Frame frame;
    std::uint64_t readOpenCount = 0;
    std::atomic<bool> restartFrames{false};
    // Reading failed (the device is gone or broken): no more polling until
    // the node is opened again.
    std::atomic<bool> readFailed{false};
    // Bumped on every open, so the reader tells a reopened node from the old.
    std::atomic<std::uint64_t> openCount{0};

private:
    static evdev::DeviceDescription describe(libevdev* device);

    InputNode info_;
    int fd_ = -1;
    libevdev* evdev_ = nullptr;
    evdev::DeviceDescription description_;
    bool monotonic_ = false;
    double clockOffset_ = 0;  // added to the node's times to put them on the monotonic clock
    bool syncing_ = false;
};

}  // namespace glidra::linux_platform
