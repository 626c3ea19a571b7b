#include "platform/linux/LinuxAccessibility.h"

namespace glidra::linux_platform {

namespace {

class UnreachableElement final : public AccessibilityElement {
public:
    explicit UnreachableElement(std::int32_t processIdentifier) : processIdentifier_(processIdentifier) {}

    std::optional<AccessibilityValue> attribute(const QString&) const override { return std::nullopt; }
    bool performAction(const QString&) override { return false; }
    void setMessagingTimeout(double) override {}
    bool isSameElement(const AccessibilityElement& other) const override {
        const auto* element = dynamic_cast<const UnreachableElement*>(&other);
        return element && element->processIdentifier_ == processIdentifier_;
    }

private:
    std::int32_t processIdentifier_;
};

}  // namespace

AccessibilityElementRef LinuxAccessibility::applicationElement(std::int32_t processIdentifier) {
    return std::make_shared<UnreachableElement>(processIdentifier);
}

}  // namespace glidra::linux_platform
