#pragma once

#include "actions/GestureAction.h"

#include <QSortFilterProxyModel>

#include <optional>
#include <vector>

namespace glidra {

// The actions the library shows: while searching, every action the search
// text matches, in catalogue order; otherwise the list of the chosen
// category, or the common actions when none is chosen, in that list's order.
class GestureActionFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit GestureActionFilterModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* model) override;

    // The raw search text, kept as typed.
    void setSearch(const QString& search);
    QString search() const { return search_; }
    void setCategory(std::optional<GestureActionCategory> category);
    std::optional<GestureActionCategory> category() const { return category_; }

    // Whether the search text, trimmed, is not empty.
    static bool isSearching(const QString& search);
    bool isSearching() const { return isSearching(search_); }

    // The actions shown, in order.
    std::vector<GestureAction> visibleActions() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    GestureAction actionOf(const QModelIndex& sourceIndex) const;
    // The place in the category list; -1 when not listed.
    int rank(GestureAction action) const;
    void refresh();

    QString search_;
    std::optional<GestureActionCategory> category_;
};

}  // namespace glidra
