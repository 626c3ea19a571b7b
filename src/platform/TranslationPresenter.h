#pragma once

#include <QString>

namespace glidra {

// The system's translation of a text, shown in a small floating panel.
class TranslationPresenter {
public:
    virtual ~TranslationPresenter() = default;

    // False where the system has no translator.
    virtual bool isAvailable() const = 0;

    // Closes the panel an earlier call opened, if it is still open, and
    // opens one that translates `text`. The panel closes itself when the
    // user dismisses the translation.
    virtual void present(const QString& text) = 0;
};

}  // namespace glidra
