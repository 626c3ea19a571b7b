#include "support/UmockdevInput.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <umockdev.h>

#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <thread>

namespace glidra::test {

namespace {

// Event types, codes and the byte lengths libevdev asks them with.
constexpr std::uint16_t kEvKey = 0x01;
constexpr std::uint16_t kEvAbs = 0x03;
constexpr std::uint16_t kEvLed = 0x11;
constexpr std::uint16_t kAbsMtSlot = ABS_MT_SLOT;
constexpr std::uint16_t kAbsMtMax = ABS_MT_TOOL_Y;
constexpr std::size_t kMtSlotsAsked = 256;
struct BitQuery {
    std::uint16_t type;
    int bytes;
};
constexpr BitQuery kBitQueries[] = {{0x01, 96}, {0x02, 8}, {0x03, 8}, {0x04, 8},
                                    {0x05, 8},  {0x11, 8}, {0x12, 8}, {0x15, 16}};

QByteArray hexOf(const std::vector<std::uint8_t>& bytes, int length) {
    std::vector<std::uint8_t> padded = bytes;
    padded.resize(std::size_t(length), 0);
    return QByteArray(reinterpret_cast<const char*>(padded.data()), length).toHex();
}

void setBit(std::vector<std::uint8_t>& bits, unsigned bit) {
    if (bits.size() <= bit / 8) bits.resize(bit / 8 + 1, 0);
    bits[bit / 8] |= std::uint8_t(1u << (bit % 8));
}

QByteArray littleEndian(const std::vector<std::int64_t>& values, int width) {
    QByteArray bytes;
    for (const std::int64_t value : values) {
        for (int i = 0; i < width; ++i) bytes.append(char((std::uint64_t(value) >> (8 * i)) & 0xFF));
    }
    return bytes.toHex();
}

// A slot's value of one multitouch axis; 0 for the axes a slot table does
// not give.
std::int64_t slotValue(const evdev::FrameAssembler::DeviceState::SlotValues& values, std::uint16_t code) {
    switch (code) {
        case ABS_MT_TRACKING_ID:
            return values.trackingId;
        case ABS_MT_POSITION_X:
            return values.x;
        case ABS_MT_POSITION_Y:
            return values.y;
        case ABS_MT_PRESSURE:
            return values.pressure;
        case ABS_MT_DISTANCE:
            return values.distance;
        default:
            return 0;
    }
}

QByteArray ioctlRecord(const QByteArray& devnode, const evdev::DeviceDescription& device,
                       const std::vector<std::uint16_t>& heldKeys, const SlotTable& slotTable) {
    QByteArray record = "@DEV " + devnode + "\n";
    std::vector<std::uint8_t> name(device.name.begin(), device.name.end());
    record += "EVIOCGNAME(0) " + QByteArray::number(qsizetype(name.size() + 1)) + " " + hexOf(name, 255) + "\n";
    record += "EVIOCGID 0 " + littleEndian({device.bustype, device.vendor, device.product, device.version}, 2) + "\n";
    record += "EVIOCGVERSION 0 " + littleEndian({0x010001}, 4) + "\n";
    record += "EVIOCGPROP(0) 8 " + hexOf(device.properties, 8) + "\n";

    std::vector<std::uint8_t> types;
    setBit(types, 0);
    for (const auto& [type, bits] : device.eventBits) {
        if (type != 0) setBit(types, type);
    }
    if (!device.axes.empty()) setBit(types, kEvAbs);
    record += "EVIOCGBIT(0) 8 " + hexOf(types, 8) + "\n";
    for (const BitQuery& query : kBitQueries) {
        std::vector<std::uint8_t> bits;
        if (const auto it = device.eventBits.find(query.type); it != device.eventBits.end()) bits = it->second;
        if (query.type == kEvAbs) {
            for (const auto& [code, range] : device.axes) setBit(bits, code);
        }
        record += "EVIOCGBIT(" + QByteArray::number(query.type) + ") " + QByteArray::number(query.bytes) + " " +
                  hexOf(bits, query.bytes) + "\n";
    }
    for (const auto& [code, range] : device.axes) {
        const std::int64_t value = code == kAbsMtSlot ? slotTable.currentSlot : 0;
        record += "EVIOCGABS(" + QByteArray::number(code) + ") 0 " +
                  littleEndian({value, range.minimum, range.maximum, range.fuzz, range.flat, range.resolution}, 4) +
                  "\n";
    }
    // The slots of each multitouch axis, asked in the order of the axes right
    // after them, which is the order the mock answers in.
    if (device.axes.contains(kAbsMtSlot)) {
        const int slots = device.slotCount();
        for (const auto& [code, range] : device.axes) {
            if (code <= kAbsMtSlot || code > kAbsMtMax) continue;
            std::vector<std::int64_t> answer{code};
            for (int slot = 0; slot < slots; ++slot) {
                const auto values = std::size_t(slot) < slotTable.slots.size()
                                        ? slotTable.slots[std::size_t(slot)]
                                        : evdev::FrameAssembler::DeviceState::SlotValues{};
                answer.push_back(slotValue(values, code));
            }
            // libevdev asks with room for all the slots it can keep.
            answer.resize(1 + kMtSlotsAsked, 0);
            record += "EVIOCGMTSLOTS(0) 0 " + littleEndian(answer, 4) + "\n";
        }
    }
    std::vector<std::uint8_t> held;
    for (const std::uint16_t code : heldKeys) setBit(held, code);
    record += "EVIOCGKEY(0) 96 " + hexOf(held, 96) + "\n";
    record += "EVIOCGLED(0) 8 " + hexOf({}, 8) + "\n";
    record += "EVIOCGSW(0) 8 " + hexOf({}, 8) + "\n";
    return record;
}

}  // namespace

UmockdevInput::UmockdevInput() : testbed_(umockdev_testbed_new()) {}

UmockdevInput::~UmockdevInput() {
    if (testbed_) g_object_unref(testbed_);
}

bool UmockdevInput::available() {
    // Asked once a testbed exists: the answer is cached on the first call.
    UmockdevInput probe;
    return umockdev_in_mock_environment();
}

QByteArray UmockdevInput::syspath(const QByteArray& devnode) const {
    for (const auto& [node, path] : devices_) {
        if (node == devnode) return path;
    }
    return {};
}

QByteArray UmockdevInput::addDevice(const evdev::DeviceDescription& device, const QStringList& properties,
                                    const std::vector<std::uint16_t>& heldKeys, const SlotTable& slotTable) {
    return add(device, properties, heldKeys, slotTable, true);
}

QByteArray UmockdevInput::addUnannounced(const evdev::DeviceDescription& device, const QStringList& properties) {
    return add(device, properties, {}, {}, false);
}

bool UmockdevInput::announce(const QByteArray& devnode) {
    const auto it = unannounced_.find(devnode);
    const QByteArray path = syspath(devnode);
    if (it == unannounced_.end() || path.isEmpty()) return false;
    const QByteArray parent = path.left(path.lastIndexOf('/'));
    for (const QString& property : it->second) {
        const QByteArray pair = property.toUtf8();
        const qsizetype equals = pair.indexOf('=');
        for (const QByteArray& device : {path, parent}) {
            umockdev_testbed_set_property(testbed_, device.constData(), pair.left(equals).constData(),
                                          pair.mid(equals + 1).constData());
        }
    }
    unannounced_.erase(it);
    umockdev_testbed_uevent(testbed_, path.constData(), "add");
    return true;
}

QByteArray UmockdevInput::add(const evdev::DeviceDescription& device, const QStringList& givenProperties,
                              const std::vector<std::uint16_t>& heldKeys, const SlotTable& slotTable, bool announced) {
    const QStringList properties = announced ? givenProperties : QStringList();
    const int number = nextNumber_++;
    const QByteArray event = "event" + QByteArray::number(number);
    const QByteArray input = "input" + QByteArray::number(number);
    const QByteArray devnode = "/dev/input/" + event;
    const QByteArray parent = "/devices/virtual/input/" + input;
    QByteArray description = "P: " + parent + "/" + event + "\nN: input/" + event + "\nE: DEVNAME=" + devnode +
                             "\nE: MAJOR=13\nE: MINOR=" + QByteArray::number(64 + number) + "\nE: SUBSYSTEM=input\n";
    for (const QString& property : properties) description += "E: " + property.toUtf8() + "\n";
    description += "\nP: " + parent + "\nE: NAME=\"" + QByteArray::fromStdString(device.name) +
                   "\"\nE: SUBSYSTEM=input\nA: name=" + QByteArray::fromStdString(device.name) + "\n";
    for (const QString& property : properties) description += "E: " + property.toUtf8() + "\n";

    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, description.constData(), &error)) {
        g_clear_error(&error);
        return {};
    }
    const QString recordPath = files_.filePath(QString::fromLatin1(event) + QStringLiteral(".ioctl"));
    QFile record(recordPath);
    if (!record.open(QIODevice::WriteOnly) || record.write(ioctlRecord(devnode, device, heldKeys, slotTable)) < 0)
        return {};
    record.close();
    if (!umockdev_testbed_load_ioctl(testbed_, devnode.constData(), QFile::encodeName(recordPath).constData(),
                                     &error)) {
        g_clear_error(&error);
        return {};
    }
    devices_.emplace_back(devnode, "/sys" + parent + "/" + event);
    if (!announced) unannounced_.emplace(devnode, givenProperties);
    return devnode;
}

void UmockdevInput::removeDevice(const QByteArray& devnode) {
    const QByteArray path = syspath(devnode);
    if (path.isEmpty()) return;
    // The removal itself sends no uevent.
    umockdev_testbed_uevent(testbed_, path.constData(), "remove");
    umockdev_testbed_remove_device(testbed_, path.constData());
}

QByteArray UmockdevInput::addUinput() {
    const QByteArray description =
        "P: /devices/virtual/misc/uinput\nN: uinput\nE: DEVNAME=/dev/uinput\nE: MAJOR=10\nE: MINOR=223\n"
        "E: SUBSYSTEM=misc\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, description.constData(), &error)) {
        g_clear_error(&error);
        return {};
    }
    return "/dev/uinput";
}

QString UmockdevInput::rootDirectory() const {
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    const QString folder = QFile::decodeName(root);
    g_free(root);
    return folder;
}

bool UmockdevInput::setNodeMode(const QByteArray& devnode, unsigned mode) {
    // The node in the testbed is a link to the pseudo-terminal.
    const QString terminal = QFileInfo(rootDirectory() + QFile::decodeName(devnode)).canonicalFilePath();
    return !terminal.isEmpty() && ::chmod(QFile::encodeName(terminal).constData(), mode) == 0;
}

void UmockdevInput::shareWithEveryUser() {
    const QString root = rootDirectory();
    // The root also takes the sockets a program's udev monitor binds.
    ::chmod(QFile::encodeName(root).constData(), 01777);
    QDirIterator entries(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QFileInfo entry(entries.next());
        if (entry.isSymLink()) continue;
        const QByteArray path = QFile::encodeName(entry.filePath());
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            ::chmod(path.constData(), 0755);
        } else if (S_ISSOCK(status.st_mode)) {
            ::chmod(path.constData(), 0777);
        }
    }
}

bool UmockdevInput::replay(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events) {
    if (events.empty()) return true;
    // umockdev reads the microseconds in base 0 (no leading zeros), and loses
    // a byte of an event whose seconds end in 0x20: those are stepped over.
    std::int64_t base = QDateTime::currentSecsSinceEpoch();
    const auto secondsOf = [&](double t) { return base + std::int64_t(std::floor(t)); };
    for (bool clash = true; clash;) {
        clash = false;
        for (const auto& event : events) {
            if ((secondsOf(event.time) & 0xFF) == 0x20) {
                clash = true;
                ++base;
                break;
            }
        }
    }
    QByteArray text;
    for (const auto& event : events) {
        const double whole = std::floor(event.time);
        const auto micros = std::int64_t(std::llround((event.time - whole) * 1e6));
        text += "E: " + QByteArray::number(qlonglong(secondsOf(event.time))) + "." +
                QByteArray::number(qlonglong(std::min<std::int64_t>(micros, 999'999))) + " " +
                QByteArray::number(event.type, 16).rightJustified(4, '0') + " " +
                QByteArray::number(event.code, 16).rightJustified(4, '0') + " " + QByteArray::number(event.value) +
                "\n";
    }
    static int replays = 0;
    const QString path = files_.filePath(QStringLiteral("replay-%1.events").arg(++replays));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0) return false;
    file.close();
    GError* error = nullptr;
    if (!umockdev_testbed_load_evemu_events(testbed_, devnode.constData(), QFile::encodeName(path).constData(),
                                            &error)) {
        g_clear_error(&error);
        return false;
    }
    return true;
}

bool UmockdevInput::write(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events) {
    const int fd = umockdev_testbed_get_dev_fd(testbed_, devnode.constData());
    if (fd < 0) return false;
    std::vector<input_event> raw;
    raw.reserve(events.size());
    for (const auto& event : events) {
        input_event out{};
        const double whole = std::floor(event.time);
        out.input_event_sec = decltype(out.input_event_sec)(whole);
        out.input_event_usec = decltype(out.input_event_usec)(std::llround((event.time - whole) * 1e6));
        out.type = event.type;
        out.code = event.code;
        out.value = event.value;
        raw.push_back(out);
    }
    const auto bytes = ssize_t(raw.size() * sizeof(input_event));
    return ::write(fd, raw.data(), std::size_t(bytes)) == bytes;
}

bool UmockdevInput::writeBytes(const QByteArray& devnode, const QByteArray& bytes) {
    const int fd = umockdev_testbed_get_dev_fd(testbed_, devnode.constData());
    return fd >= 0 && ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
}

bool UmockdevInput::play(const QByteArray& devnode, const std::vector<evdev::EvdevEvent>& events) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<evdev::EvdevEvent> packet;
    for (const auto& event : events) {
        packet.push_back(event);
        if (event.type != EV_SYN || event.code != SYN_REPORT) continue;
        std::this_thread::sleep_until(start + std::chrono::microseconds(std::llround(event.time * 1e6)));
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        for (auto& written : packet) written.time = double(now.tv_sec) + double(now.tv_nsec) / 1e9;
        if (!write(devnode, packet)) return false;
        packet.clear();
    }
    return packet.empty() || write(devnode, packet);
}

evdev::DeviceDescription UmockdevInput::keyboard(const std::string& name) {
    evdev::DeviceDescription device;
    device.name = name;
    device.bustype = 0x11;
    device.vendor = 1;
    device.product = 1;
    auto& keys = device.eventBits[kEvKey];
    // Escape to F24, which covers the modifiers, the letters and the keypad.
    for (unsigned code = 1; code <= 194; ++code) setBit(keys, code);
    auto& leds = device.eventBits[kEvLed];
    setBit(leds, 0);
    setBit(leds, 1);
    return device;
}

evdev::DeviceDescription UmockdevInput::touchpad(const std::string& name, int slots) {
    evdev::DeviceDescription pad;
    pad.name = name;
    pad.bustype = 0x18;
    auto& keys = pad.eventBits[kEvKey];
    for (const unsigned code : {BTN_LEFT, BTN_TOUCH, BTN_TOOL_FINGER, BTN_TOOL_DOUBLETAP, BTN_TOOL_TRIPLETAP}) {
        setBit(keys, code);
    }
    pad.properties = {1u << INPUT_PROP_POINTER | 1u << INPUT_PROP_BUTTONPAD};
    pad.axes[ABS_X] = {0, 3000, 0, 0, 30, false};
    pad.axes[ABS_Y] = {0, 2000, 0, 0, 30, false};
    pad.axes[ABS_MT_SLOT] = {0, slots - 1, 0, 0, 0, false};
    pad.axes[ABS_MT_POSITION_X] = {0, 3000, 0, 0, 30, false};
    pad.axes[ABS_MT_POSITION_Y] = {0, 2000, 0, 0, 30, false};
    pad.axes[ABS_MT_TRACKING_ID] = {0, 65535, 0, 0, 0, false};
    pad.axes[ABS_MT_PRESSURE] = {0, 255, 0, 0, 0, false};
    return pad;
}

std::vector<evdev::EvdevEvent> fromSlotZero(std::vector<evdev::EvdevEvent> events) {
    for (const evdev::EvdevEvent& event : events) {
        if (event.type != EV_ABS || event.code < ABS_MT_SLOT) continue;
        if (event.code == ABS_MT_SLOT) return events;
        break;
    }
    events.insert(events.begin(), evdev::EvdevEvent{0, EV_ABS, ABS_MT_SLOT, 0});
    return events;
}

}  // namespace glidra::test
