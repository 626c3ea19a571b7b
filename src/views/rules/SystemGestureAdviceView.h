#pragma once

#include "gestures/GestureRule.h"
#include "gestures/SystemGestureAdvice.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

namespace glidra {

class DesktopIntegration;

namespace kit {
class PlainButton;
class StyledLabel;
class SwitchRow;
}  // namespace kit

// In the rule editor: the risks that the edited rule also sets off one of
// the running desktop's own touchpad gestures or fires too easily, each on a
// line, with the ways to resolve them on request. Hidden while there is none.
// Where the desktop's gestures are GNOME's, the resolutions carry the switch
// that has the companion extension turn them off while the program runs.
class SystemGestureAdviceView : public QWidget {
    Q_OBJECT
public:
    SystemGestureAdviceView(const GestureRule& rule, DesktopIntegration& desktop, QWidget* parent = nullptr);

    // After an edit of the rule; collapses when the advice differs.
    void setRule(const GestureRule& rule);

    const std::vector<SystemGestureAdvice>& advice() const { return advice_; }
    bool showsResolution() const { return showsResolution_; }
    void setShowsResolution(bool shows);

private:
    void rebuild();
    void syncExpansion();
    void syncSwipeSwitch();
    bool offersSwipeSwitch() const;

    DesktopIntegration& desktop_;
    SystemGestureDesktop desktopKind_;
    std::vector<SystemGestureAdvice> advice_;
    bool showsResolution_ = false;
    QVBoxLayout* risks_;
    kit::PlainButton* toggle_;
    QWidget* resolutions_;
    QVBoxLayout* resolutionsLayout_;
    kit::SwitchRow* swipeSwitch_ = nullptr;
    kit::StyledLabel* swipeSwitchNote_ = nullptr;
    kit::StyledLabel* disclaimer_ = nullptr;
};

}  // namespace glidra
