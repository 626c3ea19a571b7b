#pragma once

#include "gestures/GestureRule.h"

#include <QWidget>

namespace glidra {

struct ViewContext;
class GestureActionCanvas;
class GestureActionLibraryView;

// Step 1 of the rule editor: one framed panel with the action canvas (the
// chosen action, its parameters, and the editor's warnings and options) on
// the left and the action library on the right. It only arranges them; the
// editor builds it afresh each time the step is entered.
class GestureActionStepView : public QWidget {
    Q_OBJECT
public:
    static constexpr int libraryWidth = 300;

    // Takes `warnings` and `options` into the canvas.
    GestureActionStepView(ViewContext& context, const GestureRule& rule, QWidget* warnings, QWidget* options,
                          QWidget* parent = nullptr);

    // From the editor; no signal.
    void setRule(const GestureRule& rule);

Q_SIGNALS:
    // The rule after the user changed its action or what the action needs.
    void ruleEdited(const glidra::GestureRule& rule);

protected:
    void paintEvent(QPaintEvent* event) override;

    GestureActionLibraryView* library() const { return library_; }

private:
    GestureRule rule_;
    GestureActionCanvas* canvas_;
    GestureActionLibraryView* library_;
};

}  // namespace glidra
