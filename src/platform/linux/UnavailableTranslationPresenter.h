#pragma once

#include "platform/TranslationPresenter.h"

namespace glidra::linux_platform {

// Linux desktops have no system translator to present.
class UnavailableTranslationPresenter final : public TranslationPresenter {
public:
    bool isAvailable() const override { return false; }
    void present(const QString&) override {}
};

}  // namespace glidra::linux_platform
