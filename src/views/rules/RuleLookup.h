#pragma once

#include "gestures/GestureRule.h"

#include <QUuid>

#include <algorithm>
#include <span>

namespace glidra {

// The first rule with this id, as conflict views pair a conflict with its
// rules; null when none has it.
inline const GestureRule* findRule(std::span<const GestureRule> rules, const QUuid& id) {
    const auto found = std::find_if(rules.begin(), rules.end(), [&](const GestureRule& rule) { return rule.id == id; });
    return found == rules.end() ? nullptr : &*found;
}

}  // namespace glidra
