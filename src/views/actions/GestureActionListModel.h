#pragma once

#include "actions/GestureAction.h"

#include <QAbstractListModel>

#include <vector>

namespace glidra {

// The catalogue as a list, in declaration order without none, with the
// action that is selected. Views filter and order it through
// GestureActionFilterModel.
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
    QHash<int, QByteArray> roleNames() const override;

    void setSelectedAction(GestureAction action);
    GestureAction selectedAction() const { return selected_; }

    GestureAction actionAt(int row) const { return actions_.at(std::size_t(row)); }
    int rowOf(GestureAction action) const;

    // The desktop the availability is judged for: XDG_CURRENT_DESKTOP unless
    // set.
    void setCurrentDesktop(const QString& desktop);

private:
    std::vector<GestureAction> actions_;
    GestureAction selected_ = GestureAction::none;
    QString currentDesktop_;
};

}  // namespace glidra
