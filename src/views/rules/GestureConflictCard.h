#pragma once

#include "gestures/GestureRule.h"
#include "gestures/GestureRuleConflict.h"
#include "views/kit/KitColour.h"
#include "views/kit/RoundedBox.h"

#include <QUuid>

#include <optional>

namespace glidra {

struct ViewContext;
class Workspace;

// One conflict between two rules: its kind, the shared gesture, a line per
// rule (A the earlier, B the later), who wins where and why, and the region
// map. In the rule editor `draftID` marks the rule being edited.
class GestureConflictCard : public kit::RoundedBox {
    Q_OBJECT
public:
    // The caller looks both rules up by id and shows no card when either is
    // missing.
    GestureConflictCard(ViewContext& context, const GestureRuleConflict& conflict, const GestureRule& first,
                        const GestureRule& second, std::optional<QUuid> draftID, QWidget* parent = nullptr);

    struct KindLook {
        QString title;
        QString symbol;
        kit::KitColour colour;
    };
    static KindLook kindLook(GestureRuleConflict::Kind kind);

    static QString ruleRow(const GestureRule& rule, const QString& marker, std::optional<QUuid> draftID,
                           Workspace& workspace);
    // Uses the winner the conflict records.
    static QString explanation(const GestureRuleConflict& conflict, const GestureRule& first, const GestureRule& second,
                               std::optional<QUuid> draftID, Workspace& workspace);
};

}  // namespace glidra
