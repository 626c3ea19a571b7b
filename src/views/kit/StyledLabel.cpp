#include "views/kit/StyledLabel.h"

#include "views/kit/Ground.h"
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

bool StyledLabel::event(QEvent* event) {
    // By the time it shows, the label knows every box it sits in.
    if (event->type() == QEvent::Polish || event->type() == QEvent::Show) applyColour();
    return QLabel::event(event);
}

// The label's own palette carries the colour; the parent's (or the
// application's) palette decides which colour that is, so a theme change
// re-tints it, and what the label lies on decides how legible it must be.
void StyledLabel::applyColour() {
    if (applyingColour_) return;
    applyingColour_ = true;
    const QPalette inherited = inheritedPalette(this);
    QPalette own = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        own.setColor(group, QPalette::WindowText, colourOn(colour_, this, inherited, group));
    }
    own.setColor(QPalette::Disabled, QPalette::WindowText, inherited.color(QPalette::Disabled, QPalette::WindowText));
    if (own != palette() || own.resolveMask() != palette().resolveMask()) setPalette(own);
    applyingColour_ = false;
}

void labelField(QLabel* label, QWidget* field, const QString& spoken) {
    label->setBuddy(field);
    if (!spoken.isEmpty()) label->setAccessibleName(spoken);
    field->setAccessibleName(spoken.isEmpty() ? label->text() : spoken);
}

}  // namespace glidra::kit
