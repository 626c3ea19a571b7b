#include "views/kit/StyledLabel.h"

#include "views/kit/InheritedPalette.h"

#include <QEvent>

namespace glidra::kit {

StyledLabel::StyledLabel(const QString& text, TextStyle style, KitColour colour, QWidget* parent)
    : QLabel(parent), colour_(colour) {
    setTextFormat(Qt::PlainText);
    setText(text);
    setTextStyle(style);
    applyColour();
}

void StyledLabel::setTextStyle(TextStyle style, std::optional<QFont::Weight> weight) {
    kit::setTextStyle(this, style, weight);
}

void StyledLabel::setColour(KitColour colour) {
    colour_ = colour;
    applyColour();
}

void StyledLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) applyColour();
}

// The label's own palette carries the colour; the parent's (or the
// application's) palette decides which colour that is, so a theme change
// re-tints it.
void StyledLabel::applyColour() {
    if (applyingColour_) return;
    applyingColour_ = true;
    const QPalette inherited = inheritedPalette(this);
    QPalette own = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        own.setColor(group, QPalette::WindowText, kit::colour(colour_, inherited, group));
    }
    own.setColor(QPalette::Disabled, QPalette::WindowText, inherited.color(QPalette::Disabled, QPalette::WindowText));
    setPalette(own);
    applyingColour_ = false;
}

}  // namespace glidra::kit
