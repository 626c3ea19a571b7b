#pragma once

#include "gestures/GestureRule.h"
#include "views/rules/GestureRuleRow.h"

#include <QHash>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace glidra {

// The rows of the gestures page, in stored order, made only as they come
// into sight: a list of ten thousand rules holds a few dozen rows, not ten
// thousand. It takes the whole height of its rows, estimated for rows not
// made yet from the rows of the same shape, and makes and releases rows as
// the scrolling view it sits in moves. A row is keyed by its rule's id: one
// whose rule and badge did not change is kept as it is, and a row holding
// the focus or an open sheet is never released. Where the focus was in a
// row that is made anew, it goes to the control of the same name.
class GestureRuleList : public QWidget {
    Q_OBJECT
public:
    // Makes the row of a rule; the list places it, shows it and owns it.
    using MakeRow = std::function<GestureRuleRow*(const GestureRule&, GestureRuleRow::Badge)>;

    explicit GestureRuleList(MakeRow makeRow, QWidget* parent = nullptr);
    ~GestureRuleList() override;

    // The rules and their badges, one each, in the order shown.
    void setRules(const std::vector<GestureRule>& rules, std::vector<GestureRuleRow::Badge> badges);
    // The focus order of the rows starts after `anchor` (the page's add
    // button), whichever rows exist.
    void setTabAnchor(QWidget* anchor) { anchor_ = anchor; }

    // The row of the rule with `id`, when it is made.
    GestureRuleRow* row(const QUuid& id) const;
    // How many rows are made now.
    int madeRows() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A rule's id, and which of the rules with that id it is: a hand-edited
    // file may hold one id twice, and each rule has its row.
    using Key = std::pair<QUuid, int>;
    struct Entry {
        Key key;
        GestureRule rule;
        GestureRuleRow::Badge badge = GestureRuleRow::Badge::none;
        int top = 0;
        int height = 0;
        // The height is the row's own at the current width, not an estimate.
        bool measured = false;
    };
    struct MadeRow {
        QPointer<GestureRuleRow> row;
        GestureRule rule;
        GestureRuleRow::Badge badge;
    };

    // Rows of these two shapes differ in height: with the held-keys line or
    // without it.
    static int shapeOf(const Entry& entry) { return entry.rule.requiredModifiers != 0 ? 1 : 0; }
    int estimate(const Entry& entry) const;
    int measure(GestureRuleRow* row) const;
    void placeEntries();
    // The part of the list its scrolling ancestors show, in its own
    // coordinates; empty when it is hidden.
    QRect shownArea() const;
    // Makes the rows in and near the shown area, releases the others and
    // places what is made.
    void realize();
    // Makes the row of `entry` in place of `old`, which goes.
    void makeRow(const Entry& entry, GestureRuleRow* old);
    void watchAncestors();
    void orderFocus(const std::vector<GestureRuleRow*>& rows);
    // A row the user is in: the focus, or an open sheet, is inside it.
    static bool inUse(const GestureRuleRow* row);

    MakeRow makeRow_;
    QPointer<QWidget> anchor_;
    std::vector<Entry> entries_;
    QHash<Key, qsizetype> index_;
    std::map<Key, MadeRow> rows_;
    std::vector<QPointer<QWidget>> watched_;
    int shapeHeights_[2] = {0, 0};
    int total_ = 0;
    int widest_ = 0;
    int narrowest_ = 0;
    bool realizing_ = false;
};

}  // namespace glidra
