#pragma once

#include "views/kit/StyledLabel.h"

namespace glidra::kit {

// An explanatory line: caption style, secondary colour, wrapped.
class CaptionLine : public StyledLabel {
    Q_OBJECT
public:
    explicit CaptionLine(const QString& text = {}, QWidget* parent = nullptr);
};

}  // namespace glidra::kit
