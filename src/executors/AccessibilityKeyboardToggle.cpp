#include "executors/AccessibilityKeyboardToggle.h"

#include <QPointer>

namespace glidra {

namespace {

bool isOn(const AccessibilityElementRef& checkbox) {
    const std::optional<double> value = checkbox->numberAttribute(QStringLiteral("AXValue"));
    return value && *value != 0;
}

}  // namespace

QCoro::Task<bool> AccessibilityKeyboardToggle::toggleAccessibilityKeyboard() {
    if (accessibilityKeyboardBusy_) co_return false;
    accessibilityKeyboardBusy_ = true;
    const QPointer<AccessibilityKeyboardToggle> self(this);
    const bool result = co_await run(workspace_.frontmostApplication().application);
    if (self) accessibilityKeyboardBusy_ = false;
    co_return result;
}

QCoro::Task<bool> AccessibilityKeyboardToggle::run(std::optional<RunningApplication> previousFront) {
    const QPointer<AccessibilityKeyboardToggle> self(this);
    const std::optional<AccessibilityKeyboardSettings::Opened> opened = co_await settings_.openInBackground();
    if (!opened || !self) co_return false;
    opened->element->setMessagingTimeout(kMessagingTimeout);

    bool result = false;
    const AccessibilityElementRef checkbox = co_await waitForCheckbox(opened->element);
    if (!self) co_return false;
    if (checkbox) {
        if (isOn(checkbox)) {
            result = true;
        } else if (checkbox->performAction(QStringLiteral("AXPress"))) {
            result = co_await confirmOn(checkbox);
            if (!self) co_return result;
        }
    }

    // The page opened in the background; when it took the focus all the same,
    // the user gets their application back, unless they moved on meanwhile.
    const FrontApplication front = workspace_.frontmostApplication();
    const std::int32_t settingsProcess = opened->application.processIdentifier;
    if (front.application && front.application->processIdentifier == settingsProcess && previousFront &&
        previousFront->processIdentifier != settingsProcess) {
        workspace_.activate(previousFront->processIdentifier);
    }
    co_return result;
}

QCoro::Task<AccessibilityElementRef> AccessibilityKeyboardToggle::waitForCheckbox(AccessibilityElementRef application) {
    const QPointer<AccessibilityKeyboardToggle> self(this);
    for (int attempt = 0; attempt < kSearchAttempts; ++attempt) {
        for (const AccessibilityElementRef& window : application->elementsAttribute(QStringLiteral("AXWindows"))) {
            if (AccessibilityElementRef checkbox = findKeyboardCheckbox(window, 0)) co_return checkbox;
        }
        co_await scheduler_.sleep(kInterval);
        if (!self) co_return AccessibilityElementRef{};
    }
    co_return AccessibilityElementRef{};
}

QCoro::Task<bool> AccessibilityKeyboardToggle::confirmOn(AccessibilityElementRef checkbox) {
    const QPointer<AccessibilityKeyboardToggle> self(this);
    for (int read = 0; read < kConfirmReads; ++read) {
        if (isOn(checkbox)) co_return true;
        co_await scheduler_.sleep(kInterval);
        if (!self) co_return false;
    }
    co_return false;
}

AccessibilityElementRef AccessibilityKeyboardToggle::findKeyboardCheckbox(const AccessibilityElementRef& element,
                                                                          int depth) {
    if (!element || depth > kMaximumDepth) return nullptr;
    const std::optional<QString> role = element->stringAttribute(QStringLiteral("AXRole"));
    if (role == QLatin1String("AXCheckBox") &&
        element->stringAttribute(QStringLiteral("AXIdentifier")) == QLatin1String("AX_VIRTUAL_KEYBOARD")) {
        return element;
    }
    if (role == QLatin1String("AXOutline")) return nullptr;
    for (const AccessibilityElementRef& child : element->elementsAttribute(QStringLiteral("AXChildren"))) {
        if (AccessibilityElementRef found = findKeyboardCheckbox(child, depth + 1)) return found;
    }
    return nullptr;
}

}  // namespace glidra
