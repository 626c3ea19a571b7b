#include "platform/linux/EvdevEventTap.h"

#include "platform/linux/UinputEventPoster.h"

#include <linux/input-event-codes.h>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

constexpr EventTap::EventMask kPointerTypes =
    EventTap::maskOf({InputEvent::Type::leftMouseDown, InputEvent::Type::leftMouseUp, InputEvent::Type::rightMouseDown,
                      InputEvent::Type::rightMouseUp, InputEvent::Type::otherMouseDown, InputEvent::Type::otherMouseUp,
                      InputEvent::Type::mouseMoved, InputEvent::Type::leftMouseDragged, InputEvent::Type::scrollWheel});

constexpr InputDeviceClasses kPointingClasses = InputDeviceClass::touchpad | InputDeviceClass::pointer;

}  // namespace

struct EvdevEventTap::Entry {
    EventMask mask = 0;
    EventHandler onEvent;
    DisabledHandler onDisabled;
    bool enabled = false;
    bool installed = true;
    // Holds the pointing devices: it swallowed a pointer event.
    bool grabsPointers = false;
    std::unique_ptr<EvdevInputHub::Lease> lease;

    bool watchesKeys() const { return (mask & kKeyTypes) != 0; }
};

class EvdevEventTap::EvdevInstallation final : public EventTap::Installation {
public:
    EvdevInstallation(QPointer<EvdevEventTap> taps, std::shared_ptr<Entry> entry)
        : taps_(std::move(taps)), entry_(std::move(entry)) {}
    ~EvdevInstallation() override {
        if (taps_) taps_->remove(entry_);
        entry_->installed = false;
        entry_->enabled = false;
    }
    void setEnabled(bool enabled) override {
        if (taps_ && entry_->installed) taps_->setEnabled(entry_, enabled);
    }
    bool isEnabled() const override { return entry_->enabled; }

private:
    QPointer<EvdevEventTap> taps_;
    std::shared_ptr<Entry> entry_;
};

EvdevEventTap::EvdevEventTap(EvdevInputHub& hub, UinputEventPoster& poster, QObject* parent)
    : QObject(parent), hub_(hub), poster_(poster) {
    connect(&hub_, &EvdevInputHub::nodeArrived, this, &EvdevEventTap::nodeArrived);
    connect(&hub_, &EvdevInputHub::grabsLost, this, [this] { disableAll(DisabledReason::timeout); });
    // Also without a tap: a keyboard whose release waits for its keys to rise
    // is still grabbed, and what it sends must still reach the desktop.
    hub_.setFilter([this](const ObservedInput& observed) { return filterUserEvent(observed); });
}

EvdevEventTap::~EvdevEventTap() {
    for (const auto& entry : taps_) {
        hub_.releaseGrabs(entry.get());
        entry->enabled = false;
        entry->installed = false;
    }
    taps_.clear();
    hub_.setFilter(nullptr);
    hub_.setMotionWanted(false);
}

std::unique_ptr<EventTap::Installation> EvdevEventTap::install(EventMask mask, EventHandler onEvent,
                                                               DisabledHandler onDisabled) {
    InputDeviceClasses classes = 0;
    if (mask & kKeyTypes) classes |= unsigned(InputDeviceClass::keyboard);
    if (mask & kPointerTypes) classes |= kPointingClasses;
    auto entry = std::make_shared<Entry>();
    entry->lease = hub_.acquire(classes);
    bool readable = false;
    for (const InputDeviceClass c :
         {InputDeviceClass::keyboard, InputDeviceClass::touchpad, InputDeviceClass::pointer}) {
        if (hasClass(classes, c) && (hub_.serves(c) || !hub_.openNodes(c).empty())) readable = true;
    }
    // Without access to the devices there is nothing to watch.
    if (!readable) return nullptr;

    entry->mask = mask;
    entry->onEvent = std::move(onEvent);
    entry->onDisabled = std::move(onDisabled);
    taps_.insert(taps_.begin(), entry);
    setEnabled(entry, true);
    return std::make_unique<EvdevInstallation>(QPointer<EvdevEventTap>(this), entry);
}

void EvdevEventTap::setEnabled(const std::shared_ptr<Entry>& entry, bool enabled) {
    entry->enabled = enabled;
    if (!enabled) {
        hub_.releaseGrabs(entry.get());
        entry->grabsPointers = false;
    } else if (entry->watchesKeys()) {
        grabClass(entry, InputDeviceClass::keyboard);
    }
    updateMotionWanted();
}

void EvdevEventTap::remove(const std::shared_ptr<Entry>& entry) {
    hub_.releaseGrabs(entry.get());
    std::erase(taps_, entry);
    entry->lease.reset();
    updateMotionWanted();
}

void EvdevEventTap::grabClass(const std::shared_ptr<Entry>& entry, InputDeviceClass c) {
    if (hub_.serves(c)) hub_.holdGrab(EvdevInputHub::servedDevnode(c), entry.get());
    for (const auto& node : hub_.openNodes(c)) hub_.holdGrab(node->devnode(), entry.get());
}

void EvdevEventTap::nodeArrived(const InputNode& node) {
    for (const auto& entry : taps_) {
        if (!entry->enabled) continue;
        const bool keys = entry->watchesKeys() && hasClass(node.classes, InputDeviceClass::keyboard);
        const bool pointers = entry->grabsPointers && (node.classes & kPointingClasses) != 0;
        if (keys || pointers) hub_.holdGrab(node.devnode, entry.get());
    }
}

void EvdevEventTap::updateMotionWanted() {
    hub_.setMotionWanted(std::any_of(taps_.begin(), taps_.end(), [](const auto& entry) {
        return entry->enabled && (entry->mask & kMotionTypes) != 0;
    }));
}

void EvdevEventTap::disableAll(DisabledReason reason) {
    const auto taps = taps_;
    for (const auto& entry : taps) {
        if (!entry->installed || !entry->enabled) continue;
        setEnabled(entry, false);
        const DisabledHandler handler = entry->onDisabled;
        if (handler) handler(reason);
    }
}

std::optional<InputEvent> EvdevEventTap::run(const InputEvent& event, Entry** swallowedBy) {
    // A snapshot: handlers may remove taps, their own included, and post
    // events that pass through the taps still installed.
    const auto taps = taps_;
    InputEvent current = event;
    for (const auto& entry : taps) {
        if (!entry->installed || !entry->enabled || !contains(entry->mask, current.type)) continue;
        const EventHandler handler = entry->onEvent;
        const auto passed = handler(current);
        if (!passed) {
            if (swallowedBy) *swallowedBy = entry.get();
            return std::nullopt;
        }
        current = *passed;
    }
    return current;
}

std::optional<InputEvent> EvdevEventTap::filterOwnEvent(const InputEvent& event) { return run(event, nullptr); }

std::optional<InputEvent> EvdevEventTap::filterUserEvent(const ObservedInput& observed) {
    Entry* swallower = nullptr;
    const auto passed = run(observed.event, &swallower);
    const bool releasesPassedKey =
        observed.type == EV_KEY && observed.value == 0 && poster_.passesOnHeld(observed.code);
    // A key the input service did not name cannot be passed on: held by a
    // tap, it is the tap's.
    const bool passable = observed.code != KEY_UNKNOWN;
    if (!passed) {
        // A key that went down through our device is never left down there.
        if (releasesPassedKey) poster_.passOn(observed.type, observed.code, observed.value);
        // The desktop saw a pointer event that was meant to be swallowed:
        // from now on the pointing devices are this tap's.
        if (swallower && swallower->enabled && !swallower->grabsPointers &&
            (observed.classes & kPointingClasses) != 0 && contains(kPointerTypes, observed.event.type)) {
            const auto it = std::find_if(taps_.begin(), taps_.end(),
                                         [swallower](const auto& entry) { return entry.get() == swallower; });
            if (it != taps_.end()) {
                (*it)->grabsPointers = true;
                grabClass(*it, InputDeviceClass::touchpad);
                grabClass(*it, InputDeviceClass::pointer);
            }
        }
        return std::nullopt;
    }
    // A key the desktop did not see goes on through our device; so does the
    // release of one that went down that way, wherever the release came from.
    if (releasesPassedKey || (passable && observed.grabbed && observed.type == EV_KEY &&
                              hasClass(observed.classes, InputDeviceClass::keyboard))) {
        poster_.passOn(observed.type, observed.code, observed.value);
    }
    return passed;
}

}  // namespace glidra::linux_platform
