#pragma once

#include "actions/GestureAction.h"
#include "views/kit/RoundedBox.h"

#include <optional>
#include <vector>

class QLineEdit;
class QToolButton;

namespace glidra {

class GestureActionCategoryTabs;
class GestureActionListView;

namespace kit {
class StyledLabel;
}

// The pane in which the user picks the action of a rule: a search field over
// the whole catalogue, the category tabs and the list of the tab (or of the
// search results). Only a click on a row chooses an action: searching,
// switching tabs and clearing the search never do. The action step frames it
// `width` wide beside the action canvas.
class GestureActionLibraryView : public kit::RoundedBox {
    Q_OBJECT
public:
    static constexpr int width = 300;

    explicit GestureActionLibraryView(QWidget* parent = nullptr);

    // The rule's action, from the owner: no signal.
    void setSelectedAction(GestureAction action);
    // What the running desktop offers, which marks the actions that cannot
    // work on it.
    void setDesktopAbilities(const DesktopAbilities& abilities);
    GestureAction selectedAction() const;

    QString search() const;
    std::optional<GestureActionCategory> category() const { return category_; }
    bool isSearching() const;
    std::vector<GestureAction> visibleActions() const;
    // "搜索结果", the common tab's title or the category's title.
    QString caption() const;

    void clearSearch();

Q_SIGNALS:
    void actionChosen(glidra::GestureAction action);

private:
    void refresh();

    std::optional<GestureActionCategory> category_;
    QLineEdit* search_;
    QToolButton* clearSearch_;
    GestureActionCategoryTabs* tabs_;
    kit::StyledLabel* caption_;
    GestureActionListView* list_;
    QWidget* emptyState_;
};

}  // namespace glidra
