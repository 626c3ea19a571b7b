#include "views/actions/GestureActionListView.h"

#include "views/actions/GestureActionFilterModel.h"
#include "views/actions/GestureActionIcon.h"
#include "views/actions/GestureActionListModel.h"
#include "views/kit/KitColour.h"
#include "views/kit/Symbols.h"
#include "views/kit/TextStyle.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace glidra {

namespace {

constexpr int padding = 6;
constexpr int spacing = 9;
constexpr double cornerRadius = 7;
constexpr int rowGap = 2;

class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const QFontMetrics metrics(kit::font(kit::TextStyle::callout, std::nullopt, option.font));
        const int content = std::max(int(GestureActionListView::tileSize), metrics.height());
        // Half the gap between rows above and below each.
        return {option.rect.width(), std::max(GestureActionListView::rowHeight, content + 2 * padding) + rowGap};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto action = GestureAction(index.data(GestureActionListModel::ActionRole).toInt());
        const bool selected = index.data(GestureActionListModel::SelectedRole).toBool();
        const QPalette& palette = option.palette;
        const QRectF row = QRectF(option.rect).adjusted(0, rowGap / 2.0, 0, -rowGap / 2.0);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (selected) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(kit::faded(kit::colour(kit::KitColour::accent, palette), 0.1f));
            painter->drawRoundedRect(row, cornerRadius, cornerRadius);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QPen(kit::faded(kit::colour(kit::KitColour::accent, palette), 0.6f), 1.5));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(row.adjusted(0.75, 0.75, -0.75, -0.75), cornerRadius, cornerRadius);
        }

        const double tile = GestureActionListView::tileSize;
        const QRectF content = row.adjusted(padding, padding, -padding, -padding);
        GestureActionIcon::paint(*painter, QPointF(content.left(), content.center().y() - tile / 2), tile, action,
                                 palette);

        double right = content.right();
        if (selected) {
            const QFontMetrics metrics(kit::font(kit::TextStyle::callout, std::nullopt, option.font));
            const double side = metrics.height() * 0.8;
            const QRectF mark(right - side, content.center().y() - side / 2, side, side);
            kit::paintSymbol(
                *painter, mark, u"checkmark",
                kit::accentOver(palette, {kit::faded(kit::colour(kit::KitColour::accent, palette), 0.1f)}));
            right = mark.left() - spacing;
        }
        const QFont font = kit::font(kit::TextStyle::callout, selected ? QFont::Medium : QFont::Normal, option.font);
        painter->setFont(font);
        // An action this desktop cannot carry out reads as such in the row.
        const bool unavailable = index.data(GestureActionListModel::UnavailableRole).isValid();
        painter->setPen(kit::colour(unavailable ? kit::KitColour::secondary : kit::KitColour::primary, palette));
        const QRectF text(content.left() + tile + spacing, content.top(), right - content.left() - tile - spacing,
                          content.height());
        QString shown = index.data(Qt::DisplayRole).toString();
        if (unavailable) shown += GestureActionListView::tr("（此桌面不可用）");
        const QString title = QFontMetrics(font).elidedText(shown, Qt::ElideRight, int(text.width()));
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        painter->restore();
    }
};

}  // namespace

GestureActionListView::GestureActionListView(QWidget* parent)
    : QListView(parent), source_(new GestureActionListModel(this)), filter_(new GestureActionFilterModel(this)) {
    setObjectName(QStringLiteral("actionList"));
    filter_->setSourceModel(source_);
    setModel(filter_);
    setItemDelegate(new RowDelegate(this));
    // The rule's action is the selected row, so that assistive technologies
    // report it; the delegate draws it from the model's own mark.
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setSpacing(0);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setViewportMargins(0, rowGap / 2, 0, rowGap / 2);
    connect(this, &QListView::clicked, this, &GestureActionListView::choose);
    // Filtering rebuilds the rows and drops the selection with them.
    connect(filter_, &QAbstractItemModel::layoutChanged, this, &GestureActionListView::syncSelection);
    connect(filter_, &QAbstractItemModel::modelReset, this, &GestureActionListView::syncSelection);
    connect(filter_, &QAbstractItemModel::rowsInserted, this, &GestureActionListView::syncSelection);
    connect(filter_, &QAbstractItemModel::rowsRemoved, this, &GestureActionListView::syncSelection);
}

std::vector<GestureAction> GestureActionListView::actions() const { return filter_->visibleActions(); }

void GestureActionListView::setSelectedAction(GestureAction action) {
    source_->setSelectedAction(action);
    syncSelection();
}

void GestureActionListView::syncSelection() {
    const QModelIndex index = indexOf(source_->selectedAction());
    if (index.isValid()) {
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearSelection();
    }
}

GestureAction GestureActionListView::selectedAction() const { return source_->selectedAction(); }

void GestureActionListView::setDesktopAbilities(const DesktopAbilities& abilities) {
    source_->setDesktopAbilities(abilities);
}

QModelIndex GestureActionListView::indexOf(GestureAction action) const {
    const int row = source_->rowOf(action);
    if (row < 0) return {};
    return filter_->mapFromSource(source_->index(row));
}

void GestureActionListView::choose(const QModelIndex& index) {
    if (!index.isValid()) return;
    const auto action = GestureAction(index.data(GestureActionListModel::ActionRole).toInt());
    // An action this desktop cannot run is listed for what it is, never
    // bound anew.
    if (!source_->isChoosable(action)) return;
    source_->setSelectedAction(action);
    syncSelection();
    Q_EMIT actionChosen(action);
}

void GestureActionListView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && currentIndex().isValid() &&
        event->modifiers() == Qt::NoModifier) {
        choose(currentIndex());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace glidra
