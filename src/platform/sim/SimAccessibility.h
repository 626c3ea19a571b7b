#pragma once

#include "platform/Accessibility.h"
#include "platform/Clock.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <limits>
#include <map>

namespace glidra::sim {

// One element of the simulated interface tree. Tests build trees of them:
// attributes that change at given times, elements that appear only after a
// while (an application slow to show its window), actions with handlers,
// failing attributes and actions, and elements that stop answering. It
// records the actions performed on it and the messaging time-out it was
// given.
class SimAccessibilityElement final : public AccessibilityElement,
                                      public std::enable_shared_from_this<SimAccessibilityElement> {
public:
    static constexpr double kAlways = -std::numeric_limits<double>::infinity();

    explicit SimAccessibilityElement(const Clock& clock) : clock_(clock) {}

    std::optional<AccessibilityValue> attribute(const QString& name) const override;
    bool performAction(const QString& action) override;
    void setMessagingTimeout(double seconds) override { messagingTimeout_ = seconds; }
    bool isSameElement(const AccessibilityElement& other) const override { return &other == this; }

    // The attribute holds `value` from `since` on (always, by default, which
    // replaces earlier values); until then it holds its earlier value.
    SimAccessibilityElement& set(const QString& name, AccessibilityValue value, double since = kAlways);
    SimAccessibilityElement& remove(const QString& name);
    // Sets "AXChildren".
    SimAccessibilityElement& children(AccessibilityElementList elements) {
        return set(QStringLiteral("AXChildren"), std::move(elements));
    }

    // The element shows in its parent's lists and attributes only from
    // `uptime` on.
    SimAccessibilityElement& appearAt(double uptime) {
        appearsAt_ = uptime;
        return *this;
    }
    bool isVisible() const { return clock_.uptime() >= appearsAt_; }

    // Runs `handler` for the action; its result is the action's. Without a
    // handler an action is refused.
    SimAccessibilityElement& onAction(const QString& action, std::function<bool()> handler);
    SimAccessibilityElement& acceptAction(const QString& action) {
        return onAction(action, [] { return true; });
    }

    // Injected errors: one attribute or action fails; or the element stops
    // answering altogether, as an application that is busy does.
    void failAttribute(const QString& name, bool fails = true);
    void failAction(const QString& action, bool fails = true);
    void setResponding(bool responding) { responding_ = responding; }

    // Every action asked for, refused ones included.
    const QStringList& performedActions() const { return performedActions_; }
    std::optional<double> messagingTimeout() const { return messagingTimeout_; }
    // How many times the attribute was read.
    int reads(const QString& name) const { return reads_.value(name); }

private:
    const Clock& clock_;
    std::map<QString, std::vector<std::pair<double, AccessibilityValue>>> attributes_;
    QHash<QString, std::function<bool()>> actions_;
    QSet<QString> failingAttributes_;
    QSet<QString> failingActions_;
    bool responding_ = true;
    double appearsAt_ = kAlways;
    QStringList performedActions_;
    std::optional<double> messagingTimeout_;
    mutable QHash<QString, int> reads_;
};

using SimElement = std::shared_ptr<SimAccessibilityElement>;

// The interface trees of the simulated applications, by process identifier.
class SimAccessibility final : public Accessibility {
public:
    explicit SimAccessibility(const Clock& clock) : clock_(clock) {}

    AccessibilityElementRef applicationElement(std::int32_t processIdentifier) override;

    // A new element, not yet part of any tree.
    SimElement element() const { return std::make_shared<SimAccessibilityElement>(clock_); }
    // An element with a role and, when given, a title.
    SimElement element(const QString& role, const std::optional<QString>& title = std::nullopt) const;

    // `inner` inside `levels` nested groups; the outermost group.
    SimElement nested(SimElement inner, int levels) const;

    // The application's top element; one that answers nothing until a test
    // fills it.
    SimElement application(std::int32_t processIdentifier);

private:
    const Clock& clock_;
    QHash<std::int32_t, SimElement> applications_;
};

}  // namespace glidra::sim
