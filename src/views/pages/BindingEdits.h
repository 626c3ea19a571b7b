#pragma once

#include "settings/ControlSettings.h"

#include <QWidget>

#include <vector>

namespace glidra {

// Rewrites the stored bindings that `matches` picks with `change`, reading
// the list afresh, and assigns the whole list once when anything changed. A
// row never holds an index or a copy: an import or a reset may have replaced
// the list since it was drawn.
template <typename Match, typename Change>
void editBindings(ControlSettings& settings, Match matches, Change change) {
    std::vector<GestureBinding> bindings = settings.bindings();
    bool changed = false;
    for (GestureBinding& binding : bindings) {
        if (!matches(binding)) continue;
        const GestureBinding before = binding;
        change(binding);
        changed = changed || binding != before;
    }
    if (changed) settings.setBindings(std::move(bindings));
}

// Takes a part of a row out of its layout at once and destroys it later, so
// that a control whose own signal led here (a combo box inside activated, a
// slider mid-drag) outlives its handler. The part falls silent first: a
// field losing focus as it hides must not write into the settings.
inline void retire(QWidget* part) {
    if (!part) return;
    part->blockSignals(true);
    for (auto* child : part->findChildren<QWidget*>()) child->blockSignals(true);
    part->hide();
    part->setParent(nullptr);
    part->deleteLater();
}

}  // namespace glidra
