#pragma once

#include "platform/TranslationPresenter.h"

#include <QStringList>

#include <optional>

namespace glidra::sim {

// A translator that is there or not, with at most one open panel.
class SimTranslationPresenter final : public TranslationPresenter {
public:
    bool isAvailable() const override { return available_; }
    void present(const QString& text) override {
        if (openPanel_) ++closedPanels_;
        openPanel_ = text;
        presented_.append(text);
    }

    void setAvailable(bool available) { available_ = available; }
    // The user dismisses the translation.
    void dismiss() { openPanel_.reset(); }

    const std::optional<QString>& openPanel() const { return openPanel_; }
    const QStringList& presented() const { return presented_; }
    int closedPanels() const { return closedPanels_; }

private:
    bool available_ = true;
    std::optional<QString> openPanel_;
    QStringList presented_;
    int closedPanels_ = 0;
};

}  // namespace glidra::sim
