#include "views/actions/GestureActionListModel.h"

#include <algorithm>

namespace glidra {

GestureActionListModel::GestureActionListModel(QObject* parent)
    : QAbstractListModel(parent), abilities_{qEnvironmentVariable("XDG_CURRENT_DESKTOP")} {
    for (const auto action : enumAllCases<GestureAction>()) {
        if (action != GestureAction::none) actions_.push_back(action);
    }
}

int GestureActionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(actions_.size());
}

QVariant GestureActionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const GestureAction action = actionAt(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return title(action);
        case Qt::AccessibleTextRole: {
            // Screen readers hear what the row shows: the mark, and which row
            // is the rule's action.
            QString spoken = title(action);
            if (!isChoosable(action)) spoken += tr("（此桌面不可用）");
            return action == selected_ ? spoken + tr("，已选择") : spoken;
        }
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
        case UnavailableRole:
            if (auto reason = unavailabilityOnDesktop(action, abilities_)) return *reason;
            return {};
        case ActionRole:
            return int(action);
        case RawRole:
            return enumRaw(action);
        case SymbolRole:
            return symbolName(action);
        case SelectedRole:
            return action == selected_;
        default:
            return {};
    }
}

QHash<int, QByteArray> GestureActionListModel::roleNames() const {
    auto names = QAbstractListModel::roleNames();
    names.insert(ActionRole, "action");
    names.insert(RawRole, "raw");
    names.insert(SymbolRole, "symbol");
    names.insert(SelectedRole, "selected");
    names.insert(UnavailableRole, "unavailable");
    return names;
}

Qt::ItemFlags GestureActionListModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return Qt::NoItemFlags;
    // The rule's own action stays selectable, so that it still reads as the
    // one chosen.
    const GestureAction action = actionAt(index.row());
    if (action != selected_ && !isChoosable(action)) return Qt::ItemNeverHasChildren;
    return QAbstractListModel::flags(index);
}

void GestureActionListModel::setDesktopAbilities(const DesktopAbilities& abilities) {
    if (abilities == abilities_) return;
    beginResetModel();
    abilities_ = abilities;
    endResetModel();
}

bool GestureActionListModel::isChoosable(GestureAction action) const {
    return !unavailabilityOnDesktop(action, abilities_).has_value();
}

int GestureActionListModel::rowOf(GestureAction action) const {
    const auto found = std::find(actions_.begin(), actions_.end(), action);
    return found == actions_.end() ? -1 : int(found - actions_.begin());
}

void GestureActionListModel::setSelectedAction(GestureAction action) {
    if (action == selected_) return;
    const int before = rowOf(selected_);
    selected_ = action;
    const int after = rowOf(selected_);
    // The selection moves the spoken text and, for an action this desktop
    // cannot run, whether the row can be picked.
    for (const int row : {before, after}) {
        if (row >= 0) Q_EMIT dataChanged(index(row), index(row), {SelectedRole, Qt::AccessibleTextRole});
    }
}

}  // namespace glidra
