#include "views/rules/GestureRuleList.h"

#include "views/kit/Discard.h"

#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QResizeEvent>
#include <QScopedValueRollback>

#include <algorithm>

namespace glidra {

namespace {

// Between two rows, as the page's other lists space theirs.
constexpr int kSpacing = 10;
// A row's height before any row was made to measure.
constexpr int kFirstEstimate = 60;
// Where nothing is shown yet, the rows of this much of the top are made, so
// that the list has its first rows when it appears.
constexpr int kUnshownHeight = 800;
// Rows are made this far beyond the shown area, at least, so that a scroll
// or a Tab from the last shown row finds its row made.
constexpr int kLeastMargin = 300;

}  // namespace

GestureRuleList::GestureRuleList(MakeRow makeRow, QWidget* parent) : QWidget(parent), makeRow_(std::move(makeRow)) {
    setObjectName(QStringLiteral("ruleList"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    hide();
    watchAncestors();
}

GestureRuleList::~GestureRuleList() {
    for (const auto& ancestor : watched_) {
        if (ancestor) ancestor->removeEventFilter(this);
    }
}

void GestureRuleList::setRules(const std::vector<GestureRule>& rules, std::vector<GestureRuleRow::Badge> badges) {
    std::vector<Entry> next;
    next.reserve(rules.size());
    QHash<Key, qsizetype> listed;
    listed.reserve(qsizetype(rules.size()));
    QHash<QUuid, int> occurrences;
    for (size_t i = 0; i < rules.size(); ++i) {
        const Key key{rules[i].id, occurrences[rules[i].id]++};
        Entry entry{key, rules[i], i < badges.size() ? badges[i] : GestureRuleRow::Badge::none};
        // A rule shown as before keeps the height its row was measured at.
        if (const auto old = index_.constFind(key); old != index_.constEnd()) {
            const Entry& before = entries_[size_t(*old)];
            if (before.measured && before.rule == entry.rule && before.badge == entry.badge) {
                entry.height = before.height;
                entry.measured = true;
            }
        }
        listed.insert(key, qsizetype(i));
        next.push_back(std::move(entry));
    }
    entries_ = std::move(next);
    index_ = std::move(listed);

    // The rows of rules that are gone go now; a row whose rule changed is
    // made anew when it is in sight, or released.
    for (auto it = rows_.begin(); it != rows_.end();) {
        if (!it->second.row || !index_.contains(it->first)) {
            kit::discard(it->second.row);
            it = rows_.erase(it);
        } else {
            ++it;
        }
    }
    placeEntries();
    setVisible(!entries_.empty());
    updateGeometry();
    realize();
}

GestureRuleRow* GestureRuleList::row(const QUuid& id) const {
    const auto found = rows_.find(Key{id, 0});
    return found == rows_.end() ? nullptr : found->second.row.data();
}

int GestureRuleList::madeRows() const { return int(rows_.size()); }

QSize GestureRuleList::sizeHint() const { return {widest_, total_}; }

QSize GestureRuleList::minimumSizeHint() const { return {narrowest_, total_}; }

int GestureRuleList::estimate(const Entry& entry) const {
    const int shape = shapeOf(entry);
    if (shapeHeights_[shape] > 0) return shapeHeights_[shape];
    if (shapeHeights_[1 - shape] > 0) return shapeHeights_[1 - shape];
    return kFirstEstimate;
}

int GestureRuleList::measure(GestureRuleRow* row) const {
    const int width = std::max(this->width(), row->minimumSizeHint().width());
    return row->hasHeightForWidth() ? row->heightForWidth(width) : row->sizeHint().height();
}

void GestureRuleList::placeEntries() {
    int top = 0;
    for (Entry& entry : entries_) {
        if (!entry.measured) entry.height = estimate(entry);
        entry.top = top;
        top += entry.height + kSpacing;
    }
    const int total = entries_.empty() ? 0 : top - kSpacing;
    if (total != total_) {
        total_ = total;
        updateGeometry();
    }
}

QRect GestureRuleList::shownArea() const {
    if (!isVisible()) return {};
    // The list's own rectangle cut by every ancestor up to the window: the
    // scrolling view's viewport is one of them.
    QRect area(QPoint(0, 0), QSize(width(), std::max(total_, height())));
    for (const QWidget* widget = this; !widget->isWindow() && widget->parentWidget(); widget = widget->parentWidget()) {
        const QWidget* parent = widget->parentWidget();
        area &= QRect(mapFrom(parent, QPoint(0, 0)), parent->size());
    }
    return area;
}

bool GestureRuleList::inUse(const GestureRuleRow* row) {
    if (!row) return false;
    const QWidget* focused = row->window()->focusWidget();
    if (focused && row->isAncestorOf(focused)) return true;
    const auto sheets = row->findChildren<QDialog*>();
    return std::any_of(sheets.begin(), sheets.end(), [](const QDialog* sheet) { return sheet->isVisible(); });
}

void GestureRuleList::realize() {
    if (realizing_ || !makeRow_) return;
    const QScopedValueRollback<bool> guard(realizing_, true);

    bool madeOrReleased = false;
    std::vector<size_t> wanted;
    // Made rows may turn out taller or shorter than estimated, which moves
    // the rows below them: then the range is found again.
    for (int pass = 0; pass < 3; ++pass) {
        QRect area = shownArea();
        if (!isVisible()) area = QRect(0, 0, width(), kUnshownHeight);
        const int margin = std::max(area.height(), kLeastMargin);
        const int from = area.top() - margin;
        const int to = area.bottom() + margin;
        const auto first = std::partition_point(entries_.begin(), entries_.end(),
                                                [&](const Entry& e) { return e.top + e.height < from; });
        const auto last = std::partition_point(first, entries_.end(), [&](const Entry& e) { return e.top <= to; });
        wanted.clear();
        for (auto it = first; it != last; ++it) wanted.push_back(size_t(it - entries_.begin()));
        // A row the user is in stays, wherever it is, and shows its rule.
        for (const auto& [key, made] : rows_) {
            const size_t index = size_t(index_.value(key, -1));
            if (index < entries_.size() &&
                (index < size_t(first - entries_.begin()) || index >= size_t(last - entries_.begin())) &&
                inUse(made.row)) {
                wanted.push_back(index);
            }
        }

        bool heightsChanged = false;
        for (const size_t index : wanted) {
            Entry& entry = entries_[index];
            auto made = rows_.find(entry.key);
            const bool current = made != rows_.end() && made->second.row && made->second.rule == entry.rule &&
                                 made->second.badge == entry.badge;
            if (current && entry.measured) continue;
            if (!current) {
                makeRow(entry, made == rows_.end() ? nullptr : made->second.row.data());
                made = rows_.find(entry.key);
                madeOrReleased = true;
            }
            const int height = measure(made->second.row);
            shapeHeights_[shapeOf(entry)] = height;
            heightsChanged = heightsChanged || entry.height != height;
            entry.height = height;
            entry.measured = true;
        }
        if (!heightsChanged) break;
        placeEntries();
    }

    // Rows out of range go; the others take their places, in list order.
    std::sort(wanted.begin(), wanted.end());
    for (auto it = rows_.begin(); it != rows_.end();) {
        const size_t index = size_t(index_.value(it->first, -1));
        if (!std::binary_search(wanted.begin(), wanted.end(), index)) {
            kit::discard(it->second.row);
            it = rows_.erase(it);
            madeOrReleased = true;
        } else {
            ++it;
        }
    }
    std::vector<GestureRuleRow*> ordered;
    for (const size_t index : wanted) {
        const Entry& entry = entries_[index];
        GestureRuleRow* row = rows_.at(entry.key).row;
        const QRect place(0, entry.top, width(), entry.height);
        if (row->geometry() != place) row->setGeometry(place);
        ordered.push_back(row);
    }
    if (madeOrReleased) orderFocus(ordered);
}

void GestureRuleList::makeRow(const Entry& entry, GestureRuleRow* old) {
    QString focusedControl;
    if (old) {
        const QWidget* focused = old->window()->focusWidget();
        if (focused && old->isAncestorOf(focused)) focusedControl = focused->objectName();
    }
    auto* row = makeRow_(entry.rule, entry.badge);
    row->setParent(this);
    row->setGeometry(0, entry.top, width(), entry.height);
    row->show();
    if (!focusedControl.isEmpty()) {
        if (auto* control = row->findChild<QWidget*>(focusedControl)) control->setFocus(Qt::OtherFocusReason);
    }
    // A row's own signal may be what led here: the old row goes later.
    kit::discard(old);
    rows_[entry.key] = MadeRow{row, entry.rule, entry.badge};
    widest_ = std::max(widest_, row->sizeHint().width());
    narrowest_ = std::max(narrowest_, row->minimumSizeHint().width());
}

void GestureRuleList::orderFocus(const std::vector<GestureRuleRow*>& rows) {
    QWidget* previous = anchor_ && anchor_->focusPolicy() != Qt::NoFocus ? anchor_.data() : nullptr;
    for (GestureRuleRow* row : rows) {
        // Children come in the order they were made, which is the order of
        // the row's controls from its start to its end.
        for (QWidget* control : row->findChildren<QWidget*>()) {
            // A sheet open on the row is a window of its own.
            if (!(control->focusPolicy() & Qt::TabFocus) || control->window() != row->window()) continue;
            if (previous) QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
}

void GestureRuleList::watchAncestors() {
    for (const auto& ancestor : watched_) {
        if (ancestor) ancestor->removeEventFilter(this);
    }
    watched_.clear();
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        watched_.emplace_back(ancestor);
        if (ancestor->isWindow()) break;
    }
}

bool GestureRuleList::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ParentChange:
        case QEvent::Show:
            watchAncestors();
            realize();
            break;
        case QEvent::Move:
            realize();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

bool GestureRuleList::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ParentChange:
            // An ancestor moved into another window: watch the new chain.
            watchAncestors();
            realize();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            // A scrolling view moves its content; a resized viewport shows
            // more or less of it.
            realize();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void GestureRuleList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) {
        // Summaries wrap anew: every row is measured again when made.
        for (Entry& entry : entries_) entry.measured = false;
        for (const auto& [id, made] : rows_) {
            if (made.row) made.row->resize(width(), made.row->height());
        }
    }
    placeEntries();
    realize();
}

}  // namespace glidra
