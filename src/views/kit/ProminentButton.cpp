#include "views/kit/ProminentButton.h"

#include <QPalette>
#include <QPushButton>

namespace glidra::kit {

void makeProminent(QPushButton* button) {
    QPalette palette = button->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Button, palette.color(group, QPalette::Highlight));
        palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::HighlightedText));
    }
    button->setPalette(palette);
}

}  // namespace glidra::kit
