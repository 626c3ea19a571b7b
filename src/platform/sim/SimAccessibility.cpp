#include "platform/sim/SimAccessibility.h"

#include <algorithm>

namespace glidra::sim {

namespace {

bool isHidden(const AccessibilityElementRef& element) {
    const auto* simulated = dynamic_cast<const SimAccessibilityElement*>(element.get());
    return simulated && !simulated->isVisible();
}

}  // namespace

std::optional<AccessibilityValue> SimAccessibilityElement::attribute(const QString& name) const {
    ++reads_[name];
    if (!responding_ || failingAttributes_.contains(name)) return std::nullopt;
    const auto it = attributes_.find(name);
    if (it == attributes_.end()) return std::nullopt;

    const double now = clock_.uptime();
    const AccessibilityValue* current = nullptr;
    for (const auto& [since, value] : it->second) {
        if (since <= now) current = &value;
    }
    if (!current) return std::nullopt;

    // Elements that have not appeared yet are not there to be read.
    if (const auto* element = std::get_if<AccessibilityElementRef>(current)) {
        if (isHidden(*element)) return std::nullopt;
    }
    if (const auto* elements = std::get_if<AccessibilityElementList>(current)) {
        AccessibilityElementList visible;
        std::copy_if(elements->begin(), elements->end(), std::back_inserter(visible),
                     [](const AccessibilityElementRef& element) { return !isHidden(element); });
        return visible;
    }
    return *current;
}

bool SimAccessibilityElement::performAction(const QString& action) {
    performedActions_.append(action);
    if (!responding_ || failingActions_.contains(action)) return false;
    const auto it = actions_.constFind(action);
    return it != actions_.constEnd() && (*it)();
}

SimAccessibilityElement& SimAccessibilityElement::set(const QString& name, AccessibilityValue value, double since) {
    auto& timeline = attributes_[name];
    if (since == kAlways) timeline.clear();
    timeline.emplace_back(since, std::move(value));
    std::stable_sort(timeline.begin(), timeline.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    return *this;
}

SimAccessibilityElement& SimAccessibilityElement::remove(const QString& name) {
    attributes_.erase(name);
    return *this;
}

SimAccessibilityElement& SimAccessibilityElement::onAction(const QString& action, std::function<bool()> handler) {
    actions_.insert(action, std::move(handler));
    return *this;
}

void SimAccessibilityElement::failAttribute(const QString& name, bool fails) {
    if (fails) {
        failingAttributes_.insert(name);
    } else {
        failingAttributes_.remove(name);
    }
}

void SimAccessibilityElement::failAction(const QString& action, bool fails) {
    if (fails) {
        failingActions_.insert(action);
    } else {
        failingActions_.remove(action);
    }
}

AccessibilityElementRef SimAccessibility::applicationElement(std::int32_t processIdentifier) {
    return application(processIdentifier);
}

SimElement SimAccessibility::element(const QString& role, const std::optional<QString>& title) const {
    SimElement created = element();
    created->set(QStringLiteral("AXRole"), role);
    if (title) created->set(QStringLiteral("AXTitle"), *title);
    return created;
}

SimElement SimAccessibility::nested(SimElement inner, int levels) const {
    for (int level = 0; level < levels; ++level) {
        SimElement group = element(QStringLiteral("AXGroup"));
        group->children({inner});
        inner = group;
    }
    return inner;
}

SimElement SimAccessibility::application(std::int32_t processIdentifier) {
    auto it = applications_.find(processIdentifier);
    if (it == applications_.end())
        it = applications_.insert(processIdentifier, element(QStringLiteral("AXApplication")));
    return *it;
}

}  // namespace glidra::sim
