#pragma once

#include "actions/GestureAction.h"

#include <QListView>

#include <vector>

namespace glidra {

class GestureActionFilterModel;
class GestureActionListModel;

// The library's rows: each an action's tile and title, the selected one on a
// light accent with a checkmark. A click anywhere on a row chooses its action
// (Return or Space on the current row too); nothing else happens. A row of
// an action this desktop cannot run says so and chooses nothing.
class GestureActionListView : public QListView {
    Q_OBJECT
public:
    static constexpr int rowHeight = 35;
    static constexpr double tileSize = 23;

    explicit GestureActionListView(QWidget* parent = nullptr);

    GestureActionFilterModel* filter() const { return filter_; }
    std::vector<GestureAction> actions() const;

    // From the owner: no signal.
    void setSelectedAction(GestureAction action);
    GestureAction selectedAction() const;

    // The row of an action, invalid when it is not shown.
    QModelIndex indexOf(GestureAction action) const;

    // What decides which actions are marked as not working here.
    void setDesktopAbilities(const DesktopAbilities& abilities);

Q_SIGNALS:
    void actionChosen(glidra::GestureAction action);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void syncSelection();
    void choose(const QModelIndex& index);

    GestureActionListModel* source_;
    GestureActionFilterModel* filter_;
};

}  // namespace glidra
