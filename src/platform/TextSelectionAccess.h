#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// The interface elements of the front application, as far as finding the
// text the user selected goes. A request that fails or times out reads as
// absent.
class TextSelectionAccess {
public:
    // An element of the front application's tree; valid until the next
    // focusedElement() call.
    using Element = std::uint64_t;

    virtual ~TextSelectionAccess() = default;

    // The focused element of the front application, every later request
    // bounded by `messagingTimeout` seconds; nothing without a front
    // application or a focused element.
    virtual std::optional<Element> focusedElement(double messagingTimeout) = 0;

    // A password field, whose text is never read.
    virtual bool isSecureTextField(Element element) = 0;
    virtual std::optional<QString> selectedText(Element element) = 0;
    virtual std::optional<Element> parent(Element element) = 0;
};

}  // namespace glidra
