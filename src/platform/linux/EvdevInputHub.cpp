#include "platform/linux/EvdevInputHub.h"

#include "common/MainThreadInbox.h"
#include "platform/LogCategories.h"
#include "platform/evdev/EvdevCodes.h"
#include "platform/linux/InputAccessTrust.h"

#include <QCoreApplication>

#include <linux/input-event-codes.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string_view>

namespace glidra::linux_platform {

namespace {

constexpr InputDeviceClass kClasses[] = {InputDeviceClass::touchpad, InputDeviceClass::keyboard,
                                         InputDeviceClass::pointer};

// The service's modifier bits and the keys that stand for them.
constexpr std::pair<unsigned, std::uint16_t> kServedModifiers[] = {
    {1u << 0, KEY_LEFTSHIFT}, {1u << 1, KEY_LEFTCTRL}, {1u << 2, KEY_LEFTALT}, {1u << 3, KEY_LEFTMETA}};

// The keys the service names; any other press stands as KEY_UNKNOWN.
std::uint16_t servedKeyCode(std::string_view name) {
    constexpr std::pair<std::string_view, std::uint16_t> names[] = {{"escape", KEY_ESC},   {"tab", KEY_TAB},
                                                                    {"left", KEY_LEFT},    {"right", KEY_RIGHT},
                                                                    {"return", KEY_ENTER}, {"enter", KEY_KPENTER}};
    for (const auto& [known, code] : names) {
        if (name == known) return code;
    }
    return KEY_UNKNOWN;
}

// The number after `prefix` in `line`, or -1 when the line is something else.
long numberAfter(std::string_view line, std::string_view prefix) {
    if (!line.starts_with(prefix)) return -1;
    line.remove_prefix(prefix.size());
    long value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    return error == std::errc() && end == line.data() + line.size() && value >= 0 ? value : -1;
}

double monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

}  // namespace

EvdevInputHub::Lease::~Lease() {
    if (hub_) hub_->release(classes_);
}

EvdevInputHub::EvdevInputHub(QObject* parent) : EvdevInputHub(Options{}, parent) {}

EvdevInputHub::EvdevInputHub(Options options, QObject* parent)
    : QObject(parent),
      options_(options),
      watchdog_(options.watchdogLimit),
      grabs_([this](const QByteArray& devnode, GrabOwner::Action action) { return applyGrab(devnode, action); }) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    heartbeat_.setInterval(options_.heartbeatIntervalMs);
    connect(&heartbeat_, &QTimer::timeout, this, [this] { watchdog_.beat(monotonicNow()); });
    connect(&udev_, &UdevInputDevices::nodeAdded, this, [this](const InputNode& node) { addNode(node); });
    connect(&udev_, &UdevInputDevices::nodeRemoved, this, [this](const InputNode& node) { removeNode(node.devnode); });
    if (!udev_.watch()) {
        qCWarning(lcInput) << "cannot watch udev for input devices: one that arrives later is found only when "
                              "listening starts again";
    }
    if (const auto present = udev_.list()) {
        for (const InputNode& node : *present) addNode(node);
    } else {
        qCWarning(lcInput) << "cannot list the input devices through udev (no udev, or no /sys)";
    }
    if (options_.service) feed_ = options_.service->openFeed();
    feedAlive_ = feed_ != nullptr;
    // The inbox exists before the reader posts to it.
    MainThreadInbox::shared();
    reader_ = std::thread([this] {
        readerThread_.store(std::int64_t(syscall(SYS_gettid)));
        readerThread_.notify_all();
        run();
    });
    readerThread_.wait(0);
}

EvdevInputHub::~EvdevInputHub() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    if (reader_.joinable()) reader_.join();
    // What the reader posted for this hub and the main thread has not run.
    MainThreadInbox::shared().dropWorkOf(this);
    {
        std::lock_guard lock(mutex_);
        for (auto& [devnode, node] : nodes_) closeLocked(*node);
    }
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void EvdevInputHub::wake() {
    const std::uint64_t one = 1;
    if (wakeFd_ >= 0) [[maybe_unused]]
        const auto written = ::write(wakeFd_, &one, sizeof(one));
}

// --- nodes and leases ---------------------------------------------------------------

std::unique_ptr<EvdevInputHub::Lease> EvdevInputHub::acquire(InputDeviceClasses classes) {
    bool opened = false;
    for (const InputDeviceClass c : kClasses) {
        if (hasClass(classes, c) && leases_[c]++ == 0) opened = true;
    }
    // Without a udev watch the catalogue is only as fresh as its last listing.
    if (opened && !udev_.isWatching()) {
        if (const auto present = udev_.list()) {
            std::vector<QByteArray> gone;
            {
                std::lock_guard lock(mutex_);
                for (const auto& [devnode, node] : nodes_) {
                    const bool stays = std::any_of(present->begin(), present->end(),
                                                   [&](const InputNode& p) { return p.devnode == devnode; });
                    if (!stays) gone.push_back(devnode);
                }
            }
            for (const QByteArray& devnode : gone) removeNode(devnode);
            for (const InputNode& node : *present) addNode(node);
        }
    }
    watchServed();
    // Also tries again what could not be opened before: access may have come
    // (the udev rule installed) since.
    reconcile();
    return std::unique_ptr<Lease>(new Lease(*this, classes));
}

void EvdevInputHub::release(InputDeviceClasses classes) {
    for (const InputDeviceClass c : kClasses) {
        if (hasClass(classes, c)) --leases_[c];
    }
    reconcile();
}

bool EvdevInputHub::wanted(const EvdevNode& node) const {
    if (suspended_) return false;
    const InputDeviceClasses classes = node.info().classes;
    for (const InputDeviceClass c : kClasses) {
        const auto it = leases_.find(c);
        if (!hasClass(classes, c) || it == leases_.end() || it->second == 0) continue;
        // A touchpad is ours to read whatever else it is; the service reads
        // the rest.
        if (serves(c) && !hasClass(classes, InputDeviceClass::touchpad)) continue;
        return true;
    }
    return false;
}

bool EvdevInputHub::serves(InputDeviceClass c) const {
    return feedAlive_ && (c == InputDeviceClass::keyboard || c == InputDeviceClass::pointer);
}

QByteArray EvdevInputHub::servedDevnode(InputDeviceClass c) {
    return c == InputDeviceClass::keyboard ? QByteArrayLiteral("glidra-inputd:keyboards")
                                           : QByteArrayLiteral("glidra-inputd:pointers");
}

void EvdevInputHub::watchServed() {
    if (!feedAlive_) return;
    // Asked again for every lease: the service then also opens a device that
    // arrived since.
    for (const InputDeviceClass c : {InputDeviceClass::keyboard, InputDeviceClass::pointer}) {
        const auto it = leases_.find(c);
        if (it == leases_.end() || it->second == 0) continue;
        feed_->send(c == InputDeviceClass::keyboard ? "keyboards watch" : "pointers watch");
        watchedServed_ |= unsigned(c);
    }
}

void EvdevInputHub::reconcile() {
    std::vector<QByteArray> reopened;
    {
        std::lock_guard lock(mutex_);
        for (auto& [devnode, node] : nodes_) {
            const bool want = wanted(*node);
            if (want && !node->isOpen()) {
                openLocked(*node);
                if (node->isOpen()) reopened.push_back(devnode);
            } else if (!want && node->isOpen()) {
                closeLocked(*node);
            }
        }
    }
    // A node that was held when it closed is grabbed again.
    for (const QByteArray& devnode : reopened) grabs_.reapply(devnode);
    wake();
}

bool EvdevInputHub::throughService(const EvdevNode& node) const {
    return options_.service && options_.service->connected() &&
           hasClass(node.info().classes, InputDeviceClass::touchpad);
}

void EvdevInputHub::openLocked(EvdevNode& node) {
    const bool opened = throughService(node) ? node.adopt(options_.service->openTouchpad(node.devnode())) : node.open();
    if (!opened) {
        const int error = errno;
        if (error != node.loggedOpenError) {
            node.loggedOpenError = error;
            qCWarning(lcInput).nospace() << "cannot open " << node.info().devnode.constData() << " ("
                                         << node.info().name.constData() << "): " << std::strerror(error)
                                         << missingAccessHint(error);
        }
        return;
    }
    node.loggedOpenError = 0;
    qCDebug(lcInput).nospace() << "reading " << node.info().devnode.constData() << " (" << node.info().name.constData()
                               << ")";
    // A fresh assembler for the new descriptor; the reader picks it up.
    node.restartFrames = true;
    ++generation_;
}

void EvdevInputHub::closeLocked(EvdevNode& node) {
    if (!node.isOpen()) return;
    node.close();
    if (throughService(node)) options_.service->closed(node.devnode());
    ++generation_;
}

void EvdevInputHub::addNode(const InputNode& info) {
    std::shared_ptr<EvdevNode> node;
    {
        std::lock_guard lock(mutex_);
        if (nodes_.contains(info.devnode)) return;
        node = std::make_shared<EvdevNode>(info);
        nodes_.emplace(info.devnode, node);
        if (wanted(*node)) openLocked(*node);
    }
    // The service opens a keyboard or pointer that arrived when asked again.
    if ((info.classes & watchedServed_) != 0) watchServed();
    wake();
    Q_EMIT nodeArrived(info);
}

void EvdevInputHub::removeNode(const QByteArray& devnode) {
    std::shared_ptr<EvdevNode> node;
    {
        std::lock_guard lock(mutex_);
        const auto it = nodes_.find(devnode);
        if (it == nodes_.end()) return;
        node = it->second;
        closeLocked(*node);
        nodes_.erase(it);
    }
    grabs_.forget(devnode);
    grabsChanged();
    wake();
    Q_EMIT nodeLeft(node->info());
}

void EvdevInputHub::setSuspended(bool suspended) {
    if (suspended_ == suspended) return;
    suspended_ = suspended;
    reconcile();
}

std::vector<InputNode> EvdevInputHub::presentNodes(InputDeviceClass c) const {
    std::lock_guard lock(mutex_);
    std::vector<InputNode> present;
    for (const auto& [devnode, node] : nodes_) {
        if (hasClass(node->info().classes, c)) present.push_back(node->info());
    }
    return present;
}

std::vector<std::shared_ptr<EvdevNode>> EvdevInputHub::openNodes(InputDeviceClass c) const {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<EvdevNode>> open;
    for (const auto& [devnode, node] : nodes_) {
        if (node->isOpen() && hasClass(node->info().classes, c)) open.push_back(node);
    }
    return open;
}

std::vector<std::pair<InputNode, int>> EvdevInputHub::refusedNodes(InputDeviceClass c) const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<InputNode, int>> refused;
    for (const auto& [devnode, node] : nodes_) {
        if (!node->isOpen() && node->loggedOpenError != 0 && hasClass(node->info().classes, c)) {
            refused.emplace_back(node->info(), node->loggedOpenError);
        }
    }
    return refused;
}

std::shared_ptr<EvdevNode> EvdevInputHub::node(const QByteArray& devnode) const {
    std::lock_guard lock(mutex_);
    const auto it = nodes_.find(devnode);
    return it == nodes_.end() ? nullptr : it->second;
}

// --- frames, events, held keys ------------------------------------------------------------

void EvdevInputHub::setFrameSink(FrameSink sink) {
    std::lock_guard lock(sinkMutex_);
    frameSink_ = std::move(sink);
}

void EvdevInputHub::restartFrames(EvdevNode& node) { node.restartFrames = true; }

EvdevInputHub::ObserverId EvdevInputHub::addObserver(Observer observer) {
    const ObserverId id = nextObserver_++;
    observers_.emplace(id, std::move(observer));
    eventsWanted_ = true;
    return id;
}

void EvdevInputHub::removeObserver(ObserverId id) {
    observers_.erase(id);
    eventsWanted_ = !observers_.empty() || bool(filter_);
}

void EvdevInputHub::setFilter(Filter filter) {
    filter_ = std::move(filter);
    eventsWanted_ = !observers_.empty() || bool(filter_);
}

std::vector<std::uint16_t> EvdevInputHub::heldKeys(InputDeviceClass c) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint16_t> held;
    if (c == InputDeviceClass::keyboard && serves(c)) {
        for (const auto& [bit, code] : kServedModifiers) {
            if (servedModifiers_ & bit) held.push_back(code);
        }
    }
    for (const auto& [devnode, node] : nodes_) {
        if (!node->isOpen() || !hasClass(node->info().classes, c)) continue;
        const auto keys = node->heldKeys();
        held.insert(held.end(), keys.begin(), keys.end());
    }
    return held;
}

bool EvdevInputHub::capsLockLit() const {
    std::lock_guard lock(mutex_);
    if (serves(InputDeviceClass::keyboard) && servedCapsLock_) return true;
    return std::any_of(nodes_.begin(), nodes_.end(), [](const auto& entry) {
        return entry.second->isOpen() && hasClass(entry.second->info().classes, InputDeviceClass::keyboard) &&
               entry.second->capsLockLit();
    });
}

void EvdevInputHub::deliver(const std::vector<ObservedInput>& batch) {
    for (const ObservedInput& observed : batch) {
        std::optional<InputEvent> passed = observed.event;
        if (filter_) passed = filter_(observed);
        if (!passed) continue;
        // Observers may remove themselves while they run.
        const auto observers = observers_;
        for (const auto& [id, observer] : observers) {
            if (observers_.contains(id)) observer(observed, *passed);
        }
    }
}

void EvdevInputHub::nodeFailed(const QByteArray& devnode, std::uint64_t openCount) {
    {
        std::lock_guard lock(mutex_);
        const auto it = nodes_.find(devnode);
        if (it == nodes_.end() || it->second->openCount != openCount) return;
        // Gone or broken: closed until it arrives again (udev says so) or
        // a new lease asks for it.
        qCInfo(lcInput).nospace() << "stopped reading " << devnode.constData() << " ("
                                  << it->second->info().name.constData() << "): the device is gone or cannot be read";
        closeLocked(*it->second);
    }
    wake();
}

// --- grabs ----------------------------------------------------------------------------

bool EvdevInputHub::holdGrab(const QByteArray& devnode, GrabOwner::Holder holder) {
    // The watch begins before the first grab does: the reader may look the
    // moment the grab is there.
    if (!grabs_.anyGrab()) watchdog_.beat(monotonicNow());
    const bool held = grabs_.hold(devnode, holder);
    grabsChanged();
    return held;
}

void EvdevInputHub::releaseGrab(const QByteArray& devnode, GrabOwner::Holder holder, GrabOwner::Action how) {
    grabs_.release(devnode, holder, how);
    grabsChanged();
}

void EvdevInputHub::releaseGrabs(GrabOwner::Holder holder) {
    grabs_.releaseHolder(holder);
    grabsChanged();
}

bool EvdevInputHub::isGrabbedNow(const QByteArray& devnode) const {
    std::lock_guard lock(mutex_);
    for (const InputDeviceClass c : {InputDeviceClass::keyboard, InputDeviceClass::pointer}) {
        if (devnode == servedDevnode(c)) return (servedGrabbed_ & unsigned(c)) != 0;
    }
    const auto it = nodes_.find(devnode);
    return it != nodes_.end() && it->second->grabbed;
}

void EvdevInputHub::grabsChanged() {
    if (grabs_.anyGrab()) {
        if (!heartbeat_.isActive()) heartbeat_.start();
    } else {
        heartbeat_.stop();
    }
    // The reader's poll needs a time-out while a grab is held.
    wake();
}

bool EvdevInputHub::applyGrab(const QByteArray& devnode, GrabOwner::Action action) {
    for (const InputDeviceClass c : {InputDeviceClass::keyboard, InputDeviceClass::pointer}) {
        if (devnode != servedDevnode(c)) continue;
        // The service waits for the keys to rise before it grabs, and lets go
        // at once: no touch of a keyboard or mouse moves the pointer.
        const bool grab = action == GrabOwner::Action::grab;
        if (!feedAlive_) return !grab;
        const bool keyboards = c == InputDeviceClass::keyboard;
        const bool sent = feed_->send(grab ? (keyboards ? "keyboards grab" : "pointers swallow")
                                           : (keyboards ? "keyboards release" : "pointers release"));
        std::lock_guard lock(mutex_);
        if (grab && sent) {
            servedGrabbed_ |= unsigned(c);
        } else {
            servedGrabbed_ &= ~unsigned(c);
        }
        return sent || !grab;
    }
    std::lock_guard lock(mutex_);
    const auto it = nodes_.find(devnode);
    if (it == nodes_.end() || !it->second->isOpen()) return action != GrabOwner::Action::grab;
    EvdevNode& node = *it->second;
    switch (action) {
        case GrabOwner::Action::grab:
            node.ungrabPending = false;
            if (node.grabbed) return true;
            if (node.holdsKeyOrButton()) {
                node.grabPending = true;
                return true;
            }
            node.grabbed = node.setGrab(true);
            return node.grabbed;
        case GrabOwner::Action::release:
            node.grabPending = false;
            if (!node.grabbed) return true;
            if (node.holdsKeyOrButton() || node.holdsTouch()) {
                node.ungrabPending = true;
                return true;
            }
            node.setGrab(false);
            node.grabbed = false;
            return true;
        case GrabOwner::Action::releaseNow:
            node.grabPending = false;
            node.ungrabPending = false;
            if (node.grabbed) node.setGrab(false);
            node.grabbed = false;
            return true;
    }
    return true;
}

// --- the reader thread -------------------------------------------------------------------

void EvdevInputHub::run() {
    std::vector<pollfd> fds;
    std::vector<std::pair<std::shared_ptr<EvdevNode>, std::uint64_t>> polled;
    std::uint64_t seen = ~std::uint64_t(0);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            if (seen != generation_) {
                seen = generation_;
                fds.assign(1, pollfd{wakeFd_, POLLIN, 0});
                if (feedAlive_) fds.push_back(pollfd{feed_->fd(), POLLIN, 0});
                polled.clear();
                for (const auto& [devnode, node] : nodes_) {
                    if (!node->isOpen() || node->readFailed) continue;
                    fds.push_back(pollfd{node->fd(), POLLIN, 0});
                    polled.emplace_back(node, node->openCount.load());
                }
            }
        }
        // Blocked for good while nothing is grabbed: an idle device costs
        // nothing. While a grab is held, the watchdog looks in regularly.
        const bool watching = grabs_.anyGrab();
        const int timeout = watching ? std::max(50, options_.heartbeatIntervalMs / 2) : -1;
        for (auto& fd : fds) fd.revents = 0;
        const int ready = poll(fds.data(), nfds_t(fds.size()), timeout);
        if (ready < 0 && errno != EINTR) return;

        if (watching && watchdog_.expired(monotonicNow())) {
            grabs_.releaseAll();
            MainThreadInbox::shared().post(this, [this] {
                grabsChanged();
                Q_EMIT grabsLost();
            });
        }
        if (ready <= 0) continue;
        if (fds[0].revents != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto got = ::read(wakeFd_, &count, sizeof(count));
        }
        const std::size_t first = fds.size() - polled.size();
        if (first == 2 && fds[1].revents != 0) {
            readFeed();
            if (!feedAlive_) seen = ~std::uint64_t(0);
        }
        for (std::size_t i = first; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            if (fds[i].revents & POLLNVAL) {
                seen = ~std::uint64_t(0);  // closed under us: look again
                continue;
            }
            readNode(polled[i - first].first, polled[i - first].second);
            // A node that failed leaves the poll set at once, or its hang-up
            // would wake the poll again and again until it is closed.
            if (polled[i - first].first->readFailed) seen = ~std::uint64_t(0);
        }
    }
}

void EvdevInputHub::readNode(const std::shared_ptr<EvdevNode>& node, std::uint64_t openCount) {
    std::vector<evdev::EvdevEvent>& events = node->readEvents;
    events.clear();
    EvdevNode::ReadStatus status = EvdevNode::ReadStatus::more;
    bool grabbed = false;
    std::vector<ObservedInput> observed;
    if (node->readOpenCount != openCount) {
        // A packet begun on the old descriptor never ends.
        node->readOpenCount = openCount;
        node->partialPacket.clear();
    }
    while (status == EvdevNode::ReadStatus::more) {
        {
            std::lock_guard lock(mutex_);
            // Closed or reopened since the poll set was made.
            if (!node->isOpen() || node->openCount != openCount) return;
            // Before the read, so the assembler starts where the stream
            // stands: it is fed everything read from here on.
            if (node->restartFrames.exchange(false)) restart(*node);
            status = node->read(events);
            grabbed = node->grabbed;
        }
        // Whole packets only; the rest waits for its SYN_REPORT.
        std::vector<evdev::EvdevEvent>& packet = node->partialPacket;
        for (const evdev::EvdevEvent& event : events) {
            packet.push_back(event);
            if (event.type == evdev::kEvSyn && event.code == evdev::kSynReport) {
                processPacket(node, packet, grabbed, observed);
                packet.clear();
            }
        }
        events.clear();
    }
    if (!observed.empty() && eventsWanted_) {
        MainThreadInbox::shared().post(this, [this, batch = std::move(observed)] { deliver(batch); });
    }
    if (status == EvdevNode::ReadStatus::failed) {
        node->readFailed = true;
        translator_.forget(node.get());
        MainThreadInbox::shared().post(
            this, [this, devnode = node->devnode(), openCount] { nodeFailed(devnode, openCount); });
    }
}

void EvdevInputHub::readFeed() {
    std::vector<std::string> lines;
    const bool open = feed_->read(lines);
    std::vector<ObservedInput> observed;
    std::vector<evdev::EvdevEvent> packet;
    const auto translate = [&](InputDeviceClass c, std::initializer_list<evdev::EvdevEvent> events) {
        packet.assign(events);
        packet.push_back({0, evdev::kEvSyn, evdev::kSynReport, 0});
        const bool keyboard = c == InputDeviceClass::keyboard;
        const std::size_t from = observed.size();
        translator_.translate({keyboard ? &servedKeyboard_ : &servedPointer_, servedDevnode(c), unsigned(c)}, packet,
                              false, observed);
        bool grabbed = false;
        {
            std::lock_guard lock(mutex_);
            grabbed = (servedGrabbed_ & unsigned(c)) != 0;
        }
        for (std::size_t i = from; i < observed.size(); ++i) observed[i].grabbed = grabbed;
    };
    for (const std::string& text : lines) {
        // Names no key that types text: safe for the log.
        qCDebug(lcInput).nospace() << "the input service says: " << text.c_str();
        const std::string_view line = text;
        if (const long bits = numberAfter(line, "modifiers "); bits >= 0) {
            unsigned before = 0;
            {
                std::lock_guard lock(mutex_);
                before = std::exchange(servedModifiers_, unsigned(bits));
            }
            for (const auto& [bit, code] : kServedModifiers) {
                if ((before ^ unsigned(bits)) & bit) {
                    translate(InputDeviceClass::keyboard, {{0, EV_KEY, code, (unsigned(bits) & bit) ? 1 : 0}});
                }
            }
        } else if (line == "press" || line.starts_with("press ")) {
            // Only the press is told: the key rises with it.
            const std::uint16_t code = servedKeyCode(line.size() > 6 ? line.substr(6) : std::string_view());
            translate(InputDeviceClass::keyboard, {{0, EV_KEY, code, 1}});
            translate(InputDeviceClass::keyboard, {{0, EV_KEY, code, 0}});
        } else if (const long lit = numberAfter(line, "capslock "); lit >= 0) {
            {
                std::lock_guard lock(mutex_);
                servedCapsLock_ = lit != 0;
            }
            translate(InputDeviceClass::keyboard, {{0, EV_LED, LED_CAPSL, lit != 0 ? 1 : 0}});
        } else if (line.starts_with("button ")) {
            const std::string_view rest = line.substr(7);
            const auto space = rest.find(' ');
            long code = -1;
            const long down = space == std::string_view::npos ? -1 : numberAfter(rest.substr(space), " ");
            if (space != std::string_view::npos) std::from_chars(rest.data(), rest.data() + space, code);
            if (code >= BTN_MOUSE && code <= BTN_TASK && (down == 0 || down == 1)) {
                translate(InputDeviceClass::pointer, {{0, EV_KEY, std::uint16_t(code), std::int32_t(down)}});
            }
        } else if (line.starts_with("error")) {
            qCWarning(lcInput).nospace() << "the input service: " << text.c_str();
        }
    }
    if (!observed.empty() && eventsWanted_) {
        MainThreadInbox::shared().post(this, [this, batch = std::move(observed)] { deliver(batch); });
    }
    if (open) return;
    feedAlive_ = false;
    translator_.forget(&servedKeyboard_);
    translator_.forget(&servedPointer_);
    {
        std::lock_guard lock(mutex_);
        servedModifiers_ = 0;
        servedCapsLock_ = false;
        servedGrabbed_ = 0;
    }
    MainThreadInbox::shared().post(this, [this] {
        qCWarning(lcInput) << "lost the input service's keyboards and pointers: they are opened directly";
        reconcile();
    });
}

void EvdevInputHub::processPacket(const std::shared_ptr<EvdevNode>& node, const std::vector<evdev::EvdevEvent>& packet,
                                  bool grabbed, std::vector<ObservedInput>& observed) {
    const InputDeviceClasses classes = node->info().classes;
    // The frame goes first, so the button press of the same packet finds it.
    if (node->assembler) {
        bool closed = false;
        for (const evdev::EvdevEvent& event : packet) closed = node->assembler->feed(event, node->frame) || closed;
        if (closed) {
            {
                std::lock_guard lock(sinkMutex_);
                if (frameSink_) frameSink_(node.get(), node->frame);
            }
            if (node->frame.touchingCount() > 0) ++touchFrames_;
        }
    }

    const std::size_t first = observed.size();
    translator_.translate({node.get(), node->devnode(), classes}, packet, motionWanted_.load(), observed);
    for (std::size_t i = first; i < observed.size(); ++i) observed[i].grabbed = grabbed;

    settlePendingGrab(*node);
}

void EvdevInputHub::restart(EvdevNode& node) {
    node.assembler.reset();
    if (hasClass(node.info().classes, InputDeviceClass::touchpad)) {
        node.assembler = std::make_unique<evdev::FrameAssembler>(node.description());
        // A finger's values that the kernel already holds are not sent again.
        node.assembler->seed(node.deviceState());
    }
    translator_.setInitialState(&node, node.heldKeys(), node.capsLockLit());
}

void EvdevInputHub::settlePendingGrab(EvdevNode& node) {
    std::lock_guard lock(mutex_);
    if (!node.isOpen() || (!node.grabPending && !node.ungrabPending)) return;
    if (node.grabPending && !node.holdsKeyOrButton()) {
        node.grabPending = false;
        node.grabbed = node.setGrab(true);
    }
    if (node.ungrabPending && !node.holdsKeyOrButton() && !node.holdsTouch()) {
        node.ungrabPending = false;
        node.setGrab(false);
        node.grabbed = false;
    }
}

}  // namespace glidra::linux_platform
