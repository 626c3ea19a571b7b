#pragma once

#include "views/kit/RoundedBox.h"

class QVBoxLayout;

namespace glidra::kit {

// A card: content on the control background in a rectangle of radius 12.
class Card : public RoundedBox {
    Q_OBJECT
public:
    static constexpr double cornerRadius = 12;

    explicit Card(QWidget* parent = nullptr);

    // Inset by 12 on every side.
    QVBoxLayout* contentLayout() const { return layout_; }

private:
    QVBoxLayout* layout_;
};

}  // namespace glidra::kit
