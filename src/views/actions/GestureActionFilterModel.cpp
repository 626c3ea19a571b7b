#include "views/actions/GestureActionFilterModel.h"

#include "views/actions/GestureActionListModel.h"

#include <algorithm>

namespace glidra {

namespace {

std::span<const GestureAction> listOf(std::optional<GestureActionCategory> category) {
    return category ? categoryActions(*category) : featuredActions();
}

}  // namespace

GestureActionFilterModel::GestureActionFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setDynamicSortFilter(false);
    sort(0);
}

void GestureActionFilterModel::setSourceModel(QAbstractItemModel* model) {
    QSortFilterProxyModel::setSourceModel(model);
    refresh();
}

bool GestureActionFilterModel::isSearching(const QString& search) { return !search.trimmed().isEmpty(); }

void GestureActionFilterModel::setSearch(const QString& search) {
    if (search == search_) return;
    search_ = search;
    refresh();
}

void GestureActionFilterModel::setCategory(std::optional<GestureActionCategory> category) {
    if (category == category_) return;
    category_ = category;
    refresh();
}

void GestureActionFilterModel::refresh() {
    invalidate();
    // Sorting again by the same column is skipped unless the order is reset.
    sort(-1);
    sort(0);
}

GestureAction GestureActionFilterModel::actionOf(const QModelIndex& sourceIndex) const {
    return GestureAction(sourceIndex.data(GestureActionListModel::ActionRole).toInt());
}

int GestureActionFilterModel::rank(GestureAction action) const {
    const auto list = listOf(category_);
    const auto found = std::find(list.begin(), list.end(), action);
    return found == list.end() ? -1 : int(found - list.begin());
}

bool GestureActionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const GestureAction action = actionOf(sourceModel()->index(sourceRow, 0, sourceParent));
    if (isSearching()) return action != GestureAction::none && matchesSearch(action, search_);
    // What is featured works here; the categories list everything.
    if (!category_ &&
        sourceModel()->index(sourceRow, 0, sourceParent).data(GestureActionListModel::UnavailableRole).isValid()) {
        return false;
    }
    return rank(action) >= 0;
}

bool GestureActionFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // Search results keep the catalogue's order, which is the source's.
    if (isSearching()) return left.row() < right.row();
    return rank(actionOf(left)) < rank(actionOf(right));
}

std::vector<GestureAction> GestureActionFilterModel::visibleActions() const {
    std::vector<GestureAction> actions;
    for (int row = 0; row < rowCount(); ++row) actions.push_back(actionOf(mapToSource(index(row, 0))));
    return actions;
}

}  // namespace glidra
