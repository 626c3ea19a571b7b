#pragma once

#include "actions/GestureActionCategory.h"

#include <QWidget>

class QAbstractButton;

#include <optional>
#include <utility>
#include <vector>

namespace glidra {

// The library's ten tabs in two columns: the common actions ("常用动作"),
// then the nine categories. The tab of the selection shows selected (its
// button checked), except while searching, when none does.
class GestureActionCategoryTabs : public QWidget {
    Q_OBJECT
public:
    explicit GestureActionCategoryTabs(QWidget* parent = nullptr);

    // From the owner: no signal.
    void setSelection(std::optional<GestureActionCategory> selection);
    std::optional<GestureActionCategory> selection() const { return selection_; }
    void setSearching(bool searching);

    // "categoryTab:common" and "categoryTab:<raw>".
    static QString tabName(std::optional<GestureActionCategory> category);
    static QString tabTitle(std::optional<GestureActionCategory> category);

Q_SIGNALS:
    // A tab was clicked: its category (none for the common tab), after the
    // selection took it.
    void selected(std::optional<glidra::GestureActionCategory> category);

private:
    void refresh();

    std::optional<GestureActionCategory> selection_;
    bool searching_ = false;
    std::vector<std::pair<std::optional<GestureActionCategory>, QAbstractButton*>> tabs_;
};

}  // namespace glidra
