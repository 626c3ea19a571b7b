#pragma once

#include "platform/TextSelectionAccess.h"

namespace glidra::linux_platform {

// The selection is only read for the system translator, which Linux lacks
// (UnavailableTranslationPresenter): nothing here reads another
// application's elements.
class UnreadTextSelection final : public TextSelectionAccess {
public:
    std::optional<Element> focusedElement(double) override { return std::nullopt; }
    bool isSecureTextField(Element) override { return true; }
    std::optional<QString> selectedText(Element) override { return std::nullopt; }
    std::optional<Element> parent(Element) override { return std::nullopt; }
};

}  // namespace glidra::linux_platform
