#pragma once

#include "actions/GestureAction.h"

#include <QAbstractListModel>

#include <vector>

namespace glidra {

// The catalogue as a list, in declaration order without none, with the
// action that is selected. Views filter and order it through
// GestureActionFilterModel. An action that cannot work on this desktop is
// listed, marked, and cannot be chosen, unless it is the one selected.
class GestureActionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        ActionRole = Qt::UserRole + 1,  // int of GestureAction
        RawRole,                        // the raw string
        SymbolRole,
        SelectedRole,     // bool
        UnavailableRole,  // why the action cannot work on this desktop, or nothing
    };

    explicit GestureActionListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setSelectedAction(GestureAction action);
    GestureAction selectedAction() const { return selected_; }

    GestureAction actionAt(int row) const { return actions_.at(std::size_t(row)); }
    int rowOf(GestureAction action) const;

    // What the availability is judged by: until set, XDG_CURRENT_DESKTOP's
    // desktop with nothing more.
    void setDesktopAbilities(const DesktopAbilities& abilities);
    // Whether the user may choose the action: it can work on this desktop.
    bool isChoosable(GestureAction action) const;

private:
    std::vector<GestureAction> actions_;
    GestureAction selected_ = GestureAction::none;
    DesktopAbilities abilities_;
};

}  // namespace glidra
