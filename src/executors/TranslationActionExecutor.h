#pragma once

#include "notices/HUDNotice.h"

#include <QString>

#include <optional>

namespace glidra {

class TextSelectionAccess;
class TranslationPresenter;

// Translates the text selected in the front application in a small floating
// panel, where the system has a translator. Password fields are never read.
// Main thread only.
class TranslationActionExecutor {
public:
    TranslationActionExecutor(TextSelectionAccess& elements, TranslationPresenter& presenter)
        : elements_(elements), presenter_(presenter) {}

    HUDNotice execute();

    // The trimmed selected text, found on the focused element or one of its
    // four nearest ancestors; nothing inside a password field.
    std::optional<QString> selectedText();

    static constexpr double messagingTimeout = 0.2;
    static constexpr int elementsVisited = 5;

private:
    TextSelectionAccess& elements_;
    TranslationPresenter& presenter_;
};

}  // namespace glidra
