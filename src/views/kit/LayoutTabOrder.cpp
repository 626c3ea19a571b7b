#include "views/kit/LayoutTabOrder.h"

#include <QLayout>
#include <QScrollArea>
#include <QSet>
#include <QWidget>

#include <vector>

namespace glidra::kit {

namespace {

class Walk {
public:
    std::vector<QWidget*> controls;

    void widget(QWidget* w) {
        if (!w || w->isWindow() || seen_.contains(w)) return;
        seen_.insert(w);
        const bool takesFocus = w->focusPolicy() & Qt::TabFocus || w->focusProxy();
        if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
            if (takesFocus) controls.push_back(w);
            widget(scroll->widget());
            return;
        }
        // A control takes the focus itself (or through its proxy); what is
        // inside it is its own affair.
        if (takesFocus) {
            controls.push_back(w);
            return;
        }
        if (QLayout* own = w->layout()) layout(own);
        // Children outside the layout (overlays, widgets on their way out).
        for (QWidget* child : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) widget(child);
    }

    void layout(QLayout* l) {
        for (int i = 0; i < l->count(); ++i) {
            QLayoutItem* item = l->itemAt(i);
            if (QWidget* w = item->widget()) {
                widget(w);
            } else if (QLayout* nested = item->layout()) {
                layout(nested);
            }
        }
    }

private:
    QSet<QWidget*> seen_;
};

}  // namespace

void followLayoutOrder(QWidget* root) {
    Walk walk;
    if (QLayout* own = root->layout()) walk.layout(own);
    for (QWidget* child : root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) walk.widget(child);
    for (std::size_t i = 1; i < walk.controls.size(); ++i) QWidget::setTabOrder(walk.controls[i - 1], walk.controls[i]);
}

}  // namespace glidra::kit
