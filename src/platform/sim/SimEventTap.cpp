#include "platform/sim/SimEventTap.h"

#include <algorithm>

namespace glidra::sim {

namespace {

struct Entry {
    EventTap::EventMask mask = 0;
    EventTap::EventHandler onEvent;
    EventTap::DisabledHandler onDisabled;
    bool installed = true;
    bool enabled = false;
};

}  // namespace

struct SimEventTap::Registry {
    std::vector<std::shared_ptr<Entry>> taps;  // the head of the stream first
    std::vector<InputEvent> delivered;
    bool installFails = false;
    bool refusesToEnable = false;
    int installCount = 0;
};

class SimEventTap::SimInstallation final : public EventTap::Installation {
public:
    SimInstallation(std::weak_ptr<Registry> registry, std::shared_ptr<Entry> entry)
        : registry_(std::move(registry)), entry_(std::move(entry)) {}

    ~SimInstallation() override {
        entry_->installed = false;
        entry_->enabled = false;
        if (const auto registry = registry_.lock()) std::erase(registry->taps, entry_);
    }

    void setEnabled(bool enabled) override {
        const auto registry = registry_.lock();
        entry_->enabled = enabled && entry_->installed && registry && !registry->refusesToEnable;
    }
    bool isEnabled() const override { return entry_->enabled; }

private:
    std::weak_ptr<Registry> registry_;
    std::shared_ptr<Entry> entry_;
};

SimEventTap::SimEventTap() : registry_(std::make_shared<Registry>()) {}

SimEventTap::~SimEventTap() = default;

std::unique_ptr<EventTap::Installation> SimEventTap::install(EventMask mask, EventHandler onEvent,
                                                             DisabledHandler onDisabled) {
    if (registry_->installFails) return nullptr;
    auto entry = std::make_shared<Entry>(Entry{mask, std::move(onEvent), std::move(onDisabled)});
    registry_->taps.insert(registry_->taps.begin(), entry);
    ++registry_->installCount;
    auto installation = std::make_unique<SimInstallation>(registry_, entry);
    installation->setEnabled(true);
    return installation;
}

std::optional<InputEvent> SimEventTap::deliver(const InputEvent& event) {
    // A snapshot: handlers may remove taps, their own included, and post
    // events that pass through the taps still installed.
    const auto taps = registry_->taps;
    InputEvent current = event;
    for (const auto& entry : taps) {
        if (!entry->installed || !entry->enabled || !contains(entry->mask, current.type)) continue;
        const EventHandler handler = entry->onEvent;
        const auto passed = handler(current);
        if (!passed) return std::nullopt;
        current = *passed;
    }
    registry_->delivered.push_back(current);
    return current;
}

void SimEventTap::disableAll(DisabledReason reason) {
    const auto taps = registry_->taps;
    for (const auto& entry : taps) {
        if (!entry->installed || !entry->enabled) continue;
        entry->enabled = false;
        const DisabledHandler handler = entry->onDisabled;
        if (handler) handler(reason);
    }
}

void SimEventTap::setInstallFails(bool fails) { registry_->installFails = fails; }

void SimEventTap::setRefusesToEnable(bool refuses) { registry_->refusesToEnable = refuses; }

int SimEventTap::installedCount() const { return int(registry_->taps.size()); }

int SimEventTap::enabledCount() const {
    return int(std::count_if(registry_->taps.begin(), registry_->taps.end(),
                             [](const auto& entry) { return entry->enabled; }));
}

int SimEventTap::installCount() const { return registry_->installCount; }

std::vector<EventTap::EventMask> SimEventTap::installedMasks() const {
    std::vector<EventMask> masks;
    for (const auto& entry : registry_->taps) masks.push_back(entry->mask);
    return masks;
}

const std::vector<InputEvent>& SimEventTap::delivered() const { return registry_->delivered; }

void SimEventTap::clearDelivered() { registry_->delivered.clear(); }

InputEvent SimEventTap::userKey(InputEvent::Type type, std::uint16_t keyCode, std::uint64_t flags) {
    InputEvent event;
    event.type = type;
    event.keyCode = keyCode;
    event.flags = flags;
    event.origin = EventOrigin::hardware;
    return event;
}

InputEvent SimEventTap::userMouse(InputEvent::Type type, QPointF location) {
    InputEvent event;
    event.type = type;
    event.location = location;
    event.origin = EventOrigin::hardware;
    if (type == InputEvent::Type::rightMouseDown || type == InputEvent::Type::rightMouseUp) event.mouseButton = 1;
    if (type == InputEvent::Type::otherMouseDown || type == InputEvent::Type::otherMouseUp) event.mouseButton = 2;
    return event;
}

}  // namespace glidra::sim
