#pragma once

#include "platform/evdev/DeviceDescription.h"
#include "platform/evdev/EvdevEvent.h"
#include "platform/evdev/FrameAssembler.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace glidra::test {

// What a mocked kernel's multitouch slots hold (EVIOCGMTSLOTS) and the slot
// it has selected. By default every slot is free and zeroed, as on a device
// just plugged in.
struct SlotTable {
    std::vector<evdev::FrameAssembler::DeviceState::SlotValues> slots;
    int currentSlot = 0;
};

// Input devices of the test's own under umockdev: event nodes with their udev
// properties, answering the evdev queries (an ioctl record made from the
// device's description) and replaying events in real time. Needs the
// umockdev preload library (the test's ENVIRONMENT sets LD_PRELOAD).
class UmockdevInput {
public:
    UmockdevInput();
    ~UmockdevInput();

    UmockdevInput(const UmockdevInput&) = delete;
    UmockdevInput& operator=(const UmockdevInput&) = delete;

    // Whether the preload library mocks this process; tests skip otherwise.
    static bool available();

    // Adds an event node described by `device`, with the udev properties
    // given (e.g. "ID_INPUT_TOUCHPAD=1"), whose kernel state says `heldKeys`
    // are down and its slots hold `slotTable`. Returns its device node,
    // /dev/input/eventN.
    QByteArray addDevice(const evdev::DeviceDescription& device, const QStringList& properties,
                         const std::vector<std::uint16_t>& heldKeys = {}, const SlotTable& slotTable = {});
    // The same, but without the udev properties until announce(): a program
    // of the test's that watches udev finds nothing to open before the test
    // has set the node's mode and shared it, as udev itself finishes a node
    // before it tells of it.
    QByteArray addUnannounced(const evdev::DeviceDescription& device, const QStringList& properties);
    bool announce(const QByteArray& devnode);
    // Sends the removal uevent, then takes the device away.
    void removeDevice(const QByteArray& devnode);
    // Adds /dev/uinput, which opens for writing (and creates no device).
    QByteArray addUinput();

    // The testbed's folder (UMOCKDEV_DIR for a program of the test's).
    QString rootDirectory() const;
    // Sets the permission bits of the pseudo-terminal behind a node, which
    // decide who may open it.
    bool setNodeMode(const QByteArray& devnode, unsigned mode);
    // Lets a program the test runs as another user use the testbed: its
    // folders and the sockets that answer the device queries. Call after the
    // devices are added.
    void shareWithEveryUser();

    // Replays `events` (times from 0) on the node in real time, starting now,
    // stamped with the wall clock from now on.
    bool replay(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events);

    // Plays `events` (times from 0) on the node at their recorded pace from
    // now, each packet stamped with the wall clock as it is written, and
    // returns after the last. Unlike replay(), it may be called again on the
    // same node; the reader must keep up, as it would with a kernel.
    bool play(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events);

    // Writes `events` to the node at once, with their times as given. The
    // mock's pseudo-terminal keeps about 4 KiB: write a packet, and the next
    // once the reader has it.
    bool write(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events);
    // Writes raw bytes to the node, such as part of an event: a broken device.
    bool writeBytes(const QByteArray& devnode, const QByteArray& bytes);

    // A keyboard of the usual keys.
    static evdev::DeviceDescription keyboard(const std::string& name);
    // A clickpad of `slots` slots, 3000 by 2000, with pressure.
    static evdev::DeviceDescription touchpad(const std::string& name, int slots);

private:
    QByteArray syspath(const QByteArray& devnode) const;

    UMockdevTestbed* testbed_ = nullptr;
    QTemporaryDir files_;
    int nextNumber_ = 10;
    QByteArray add(const evdev::DeviceDescription& device, const QStringList& properties,
                   const std::vector<std::uint16_t>& heldKeys, const SlotTable& slotTable, bool announced);

    std::vector<std::pair<QByteArray, QByteArray>> devices_;  // devnode, syspath
    std::map<QByteArray, QStringList> unannounced_;           // devnode, its properties
};

// A kernel selects slot 0 before the first touch it reports; a recording that
// relies on that, played after a touch that ended in another slot, would put
// every finger in that slot. The events with slot 0 selected first.
std::vector<evdev::EvdevEvent> fromSlotZero(std::vector<evdev::EvdevEvent> events);

}  // namespace glidra::test
