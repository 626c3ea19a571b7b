#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace glidra {

class AccessibilityElement;
using AccessibilityElementRef = std::shared_ptr<AccessibilityElement>;
using AccessibilityElementList = std::vector<AccessibilityElementRef>;

// An attribute's value, as far as the program reads them: text, a number, a
// Boolean (a distinct kind, not a number), one element or a list of them.
using AccessibilityValue = std::variant<QString, double, bool, AccessibilityElementRef, AccessibilityElementList>;

// One interface element of another application: a window, a menu, a button.
// Its calls reach that application and can fail or time out.
class AccessibilityElement {
public:
    virtual ~AccessibilityElement() = default;

    // The attribute's value; nothing when the element has no such attribute,
    // the application did not answer in time or the call failed.
    virtual std::optional<AccessibilityValue> attribute(const QString& name) const = 0;

    // Performs an action such as "AXPress"; false when it was refused.
    virtual bool performAction(const QString& action) = 0;

    // How long each later call waits for the application to answer.
    virtual void setMessagingTimeout(double seconds) = 0;

    // Whether both stand for the same element of the same application.
    virtual bool isSameElement(const AccessibilityElement& other) const = 0;

    // Typed reads: nothing when the attribute is missing or of another kind.
    std::optional<QString> stringAttribute(const QString& name) const { return typedAttribute<QString>(name); }
    std::optional<double> numberAttribute(const QString& name) const { return typedAttribute<double>(name); }
    std::optional<bool> boolAttribute(const QString& name) const { return typedAttribute<bool>(name); }
    AccessibilityElementRef elementAttribute(const QString& name) const {
        return typedAttribute<AccessibilityElementRef>(name).value_or(nullptr);
    }
    // Empty when the attribute is missing or not a list of elements.
    AccessibilityElementList elementsAttribute(const QString& name) const {
        return typedAttribute<AccessibilityElementList>(name).value_or(AccessibilityElementList{});
    }

private:
    template <typename T>
    std::optional<T> typedAttribute(const QString& name) const {
        const std::optional<AccessibilityValue> value = attribute(name);
        if (!value) return std::nullopt;
        if (const T* typed = std::get_if<T>(&*value)) return *typed;
        return std::nullopt;
    }
};

// Reaches the interface elements of other applications.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // The top element of the application with this process identifier. It
    // always exists; its calls fail when the application cannot be reached.
    virtual AccessibilityElementRef applicationElement(std::int32_t processIdentifier) = 0;
};

}  // namespace glidra
