#pragma once

#include "gestures/GestureRule.h"
#include "views/actions/ActionConfiguration.h"

#include <QWidget>

class QStackedWidget;

namespace glidra {

class GestureActionConfigurationView;
struct ViewContext;

namespace kit {
class SymbolLabel;
}

// The main pane of the rule editor's action step: the rule's gesture at the
// top, and below it, scrolling, a placeholder while the rule has no action,
// else the configuration panel followed by the options and the warnings the
// rule editor supplies. It arranges; the panel's edits come out as
// configurationChanged.
class GestureActionCanvas : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of `warnings` and `options` (either may be null).
    GestureActionCanvas(const ViewContext& context, QWidget* warnings, QWidget* options, QWidget* parent = nullptr);

    // From the owner: no signal.
    void setRule(const GestureRule& rule);

    GestureActionConfigurationView* configurationView() const { return panel_; }
    QWidget* placeholder() const { return placeholder_; }

Q_SIGNALS:
    void configurationChanged(const glidra::ActionConfiguration& configuration);

private:
    kit::SymbolLabel* gesture_;
    QWidget* placeholder_;
    GestureActionConfigurationView* panel_;
    QWidget* warnings_;
    QWidget* options_;
};

}  // namespace glidra
