#include "views/actions/GestureActionLibraryView.h"

#include "views/actions/GestureActionCategoryTabs.h"
#include "views/actions/GestureActionFilterModel.h"
#include "views/actions/GestureActionListView.h"
#include "views/kit/Ground.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolView.h"
#include "views/kit/Symbols.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace glidra {

namespace {

QWidget* makeEmptyState() {
    auto* state = new QWidget;
    state->setObjectName(QStringLiteral("emptyState"));
    auto* layout = new QVBoxLayout(state);
    layout->setContentsMargins(0, 24, 0, 0);
    layout->setSpacing(8);
    auto* symbol = new kit::SymbolView(QStringLiteral("magnifyingglass"), kit::KitColour::secondary);
    kit::setTextStyle(symbol, kit::TextStyle::title2);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    auto* title = new kit::StyledLabel(GestureActionLibraryView::tr("没有找到动作"), kit::TextStyle::body,
                                       kit::KitColour::secondary);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    auto* hint = new kit::StyledLabel(GestureActionLibraryView::tr("试试“鼠标”“窗口”或“应用”。"),
                                      kit::TextStyle::caption, kit::KitColour::secondary);
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    layout->addWidget(hint, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return state;
}

}  // namespace

GestureActionLibraryView::GestureActionLibraryView(QWidget* parent)
    : kit::RoundedBox(kit::KitColour::controlBackground, 0, parent),
      search_(new QLineEdit),
      clearSearch_(new QToolButton),
      tabs_(new GestureActionCategoryTabs),
      caption_(new kit::StyledLabel({}, kit::TextStyle::caption, kit::KitColour::secondary)),
      list_(new GestureActionListView),
      emptyState_(makeEmptyState()) {
    setObjectName(QStringLiteral("actionLibrary"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);

    auto* title = new kit::StyledLabel(tr("选择动作"), kit::TextStyle::headline);
    layout->addWidget(title);
    setAccessibleName(title->text());

    auto* searchRow = new kit::RoundedBox(kit::KitColour::quaternaryFill, 8);
    auto* row = new QHBoxLayout(searchRow);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(6);
    row->addWidget(new kit::SymbolView(QStringLiteral("magnifyingglass"), kit::KitColour::secondary));
    search_->setObjectName(QStringLiteral("actionSearch"));
    search_->setPlaceholderText(tr("搜索动作"));
    search_->setAccessibleName(tr("搜索操作"));
    search_->setFrame(false);
    search_->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The field's own fill would hide the row's.
    QPalette transparent = search_->palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    search_->setPalette(transparent);
    kit::keepPlaceholderLegible(search_);
    row->addWidget(search_, 1);
    clearSearch_->setObjectName(QStringLiteral("clearSearch"));
    clearSearch_->setIcon(kit::symbolIcon(QStringLiteral("xmark.circle.fill"), kit::KitColour::secondary));
    clearSearch_->setAutoRaise(true);
    clearSearch_->setAccessibleName(tr("清除搜索"));
    clearSearch_->setToolTip(tr("清除搜索"));
    clearSearch_->setCursor(Qt::PointingHandCursor);
    row->addWidget(clearSearch_);
    layout->addWidget(searchRow);

    layout->addWidget(tabs_);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    layout->addWidget(divider);

    caption_->setObjectName(QStringLiteral("libraryCaption"));
    layout->addWidget(caption_);
    // A screen reader names the list apart from the search and the tabs.
    list_->setAccessibleName(tr("动作"));
    layout->addWidget(list_, 1);
    layout->addWidget(emptyState_, 1);

    refresh();

    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
        list_->filter()->setSearch(text);
        refresh();
    });
    connect(clearSearch_, &QToolButton::clicked, this, &GestureActionLibraryView::clearSearch);
    connect(tabs_, &GestureActionCategoryTabs::selected, this, [this](std::optional<GestureActionCategory> category) {
        category_ = category;
        list_->filter()->setCategory(category);
        clearSearch();
        refresh();
    });
    connect(list_, &GestureActionListView::actionChosen, this, &GestureActionLibraryView::actionChosen);
}

void GestureActionLibraryView::setSelectedAction(GestureAction action) { list_->setSelectedAction(action); }

void GestureActionLibraryView::setDesktopAbilities(const DesktopAbilities& abilities) {
    list_->setDesktopAbilities(abilities);
    refresh();
}

GestureAction GestureActionLibraryView::selectedAction() const { return list_->selectedAction(); }

QString GestureActionLibraryView::search() const { return search_->text(); }

bool GestureActionLibraryView::isSearching() const { return list_->filter()->isSearching(); }

std::vector<GestureAction> GestureActionLibraryView::visibleActions() const { return list_->actions(); }

QString GestureActionLibraryView::caption() const {
    if (isSearching()) return tr("搜索结果");
    return GestureActionCategoryTabs::tabTitle(category_);
}

void GestureActionLibraryView::clearSearch() { search_->clear(); }

void GestureActionLibraryView::refresh() {
    // The raw text decides: a field of spaces still offers to clear itself.
    clearSearch_->setVisible(!search_->text().isEmpty());
    tabs_->setSelection(category_);
    tabs_->setSearching(isSearching());
    caption_->setText(caption());
    const bool empty = list_->model()->rowCount() == 0;
    list_->setVisible(!empty);
    emptyState_->setVisible(empty);
}

}  // namespace glidra
