#include "views/kit/CaptionLine.h"

namespace glidra::kit {

CaptionLine::CaptionLine(const QString& text, QWidget* parent)
    : StyledLabel(text, TextStyle::caption, KitColour::secondary, parent) {
    setWordWrap(true);
}

}  // namespace glidra::kit
