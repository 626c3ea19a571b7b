#pragma once

#include "gestures/GestureRule.h"
#include "gestures/SystemGestureAdvice.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

namespace glidra {

namespace kit {
class PlainButton;
}

// In the rule editor: the risks that the edited rule also sets off one of
// the desktop's own trackpad gestures or fires too easily, each on a line,
// with the ways to resolve them on request. Hidden while there is none.
class SystemGestureAdviceView : public QWidget {
    Q_OBJECT
public:
    explicit SystemGestureAdviceView(const GestureRule& rule, QWidget* parent = nullptr);

    // After an edit of the rule; collapses when the advice differs.
    void setRule(const GestureRule& rule);

    const std::vector<SystemGestureAdvice>& advice() const { return advice_; }
    bool showsResolution() const { return showsResolution_; }
    void setShowsResolution(bool shows);

private:
    void rebuild();
    void syncExpansion();

    std::vector<SystemGestureAdvice> advice_;
    bool showsResolution_ = false;
    QVBoxLayout* risks_;
    kit::PlainButton* toggle_;
    QWidget* resolutions_;
    QVBoxLayout* resolutionsLayout_;
};

}  // namespace glidra
