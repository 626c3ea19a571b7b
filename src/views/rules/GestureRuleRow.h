#pragma once

#include "gestures/GestureRule.h"
#include "views/rules/GestureRegionFields.h"

#include <QWidget>

class QPushButton;

namespace glidra {

namespace kit {
class StyledLabel;
class Switch;
}  // namespace kit

struct ViewContext;
class GestureRegionButton;

// One rule of the gestures page: its enable switch, the gesture title with a
// conflict badge, the summary of action, application and region, the region
// button and the edit and delete buttons. It shows the rule it was built
// with and reports what the user does; the page applies it by the rule's id.
class GestureRuleRow : public QWidget {
    Q_OBJECT
public:
    enum class Badge { none, duplicate, overlap };

    GestureRuleRow(ViewContext& context, const GestureRule& rule, Badge badge, QWidget* parent = nullptr);

    // The summary line: action, then application and region when they narrow
    // the rule, joined with " · ".
    static QString summary(const GestureRule& rule, ViewContext& context);

Q_SIGNALS:
    void enabledClicked(bool enabled);
    void regionChosen(const glidra::GestureRegionFields& fields);
    void editClicked();
    void deleteClicked();
};

}  // namespace glidra
