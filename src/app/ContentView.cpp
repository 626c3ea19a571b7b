#include "app/ContentView.h"

#include "app/SettingsPageHeader.h"
#include "app/TrackpadSetupGuide.h"
#include "app/TrackpadToolbarControls.h"
#include "app/UiContext.h"
#include "app/UpdateSidebarButton.h"
#include "common/Localized.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/actions/ActionIssueView.h"
#include "views/actions/BrowserVideoIssueView.h"
#include "views/kit/Discard.h"
#include "views/kit/Symbols.h"
#include "views/pages/FeatureRequestButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace glidra {

using kit::discard;

namespace {

constexpr int kColumnWidth = 760;
constexpr int kColumnPadding = 28;
constexpr int kColumnSpacing = 24;
constexpr int kSidebarMinimumWidth = 170;
constexpr int kSidebarIdealWidth = 185;
constexpr int kSidebarMaximumWidth = 220;

}  // namespace

ContentView::ContentView(UiContext& context, PageFactories pages, QWidget* parent)
    : QWidget(parent), context_(context), pages_(std::move(pages)) {
    setObjectName(QStringLiteral("contentView"));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(1);
    splitter->addWidget(buildSidebar());
    splitter->addWidget(buildDetail());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kSidebarIdealWidth, 960 - kSidebarIdealWidth});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    syncSidebarSelection();
    showSelectedPage();
    syncActionIssue();
    syncVideoIssue();
    syncWriteFailure();
    syncUnreadableNotice();

    auto& controller = context_.controller;
    connect(&controller, &TrackpadController::actionIssueChanged, this, &ContentView::syncActionIssue);
    connect(&controller, &TrackpadController::videoControlIssueChanged, this, &ContentView::syncVideoIssue);
    connect(&context_.settings, &ControlSettings::lastWriteFailureChanged, this, &ContentView::syncWriteFailure);
    connect(&context_.settings, &ControlSettings::unreadableNoticeChanged, this, &ContentView::syncUnreadableNotice);
    connect(sidebar_, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = sidebar_->selectedItems();
        if (selected.isEmpty()) {
            page_.reset();
        } else {
            page_ = enumFromRaw<SettingsPage>(selected.front()->data(Qt::UserRole).toString());
        }
        showSelectedPage();
    });
}

QWidget* ContentView::buildSidebar() {
    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("sidebarColumn"));
    column->setMinimumWidth(kSidebarMinimumWidth);
    column->setMaximumWidth(kSidebarMaximumWidth);

    sidebar_ = new QListWidget;
    sidebar_->setObjectName(QStringLiteral("sidebar"));
    sidebar_->setFrameShape(QFrame::NoFrame);
    sidebar_->setSelectionMode(QAbstractItemView::SingleSelection);
    sidebar_->setIconSize(QSize(18, 18));
    sidebar_->setSpacing(0);
    sidebar_->viewport()->setBackgroundRole(QPalette::Window);
    sidebar_->setAccessibleName(QStringLiteral("Glidra"));
    const int rowHeight = sidebar_->fontMetrics().height() + 2 * 5 + 8;
    for (const auto page : sidebarPages) {
        auto* item = new QListWidgetItem(kit::symbolIcon(symbolName(page)), title(page));
        item->setData(Qt::UserRole, enumRaw(page));
        item->setSizeHint(QSize(0, rowHeight));
        sidebar_->addItem(item);
    }

    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(0, 0, 0, 0);
    footer->setSpacing(0);
    footer->addWidget(new UpdateSidebarButton(context_.updates));
    footer->addWidget(new FeatureRequestButton(context_));

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(0);
    auto* list = new QHBoxLayout;
    list->setContentsMargins(8, 0, 8, 0);
    list->addWidget(sidebar_);
    layout->addLayout(list, 1);
    layout->addLayout(footer);
    return column;
}

QWidget* ContentView::buildDetail() {
    auto* detail = new QWidget;
    detail->setObjectName(QStringLiteral("detailColumn"));

    auto* toolbar = new QWidget;
    toolbar->setObjectName(QStringLiteral("toolbar"));
    auto* toolbarLayout = new QHBoxLayout(toolbar);
    toolbarLayout->setContentsMargins(16, 8, 16, 8);
    toolbarLayout->addStretch(1);
    toolbarLayout->addWidget(new TrackpadToolbarControls(context_.controller));
    auto* rule = new QFrame;
    rule->setFrameShape(QFrame::HLine);
    rule->setForegroundRole(QPalette::Mid);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("detailContent"));
    content->setBackgroundRole(QPalette::Window);
    auto* stack = new QWidget;
    stack->setObjectName(QStringLiteral("detailStack"));
    stack->setMaximumWidth(kColumnWidth);
    column_ = new QVBoxLayout(stack);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(kColumnSpacing);
    issues_ = new QWidget;
    issues_->setObjectName(QStringLiteral("issues"));
    issuesLayout_ = new QVBoxLayout(issues_);
    issuesLayout_->setContentsMargins(0, 0, 0, 0);
    issuesLayout_->setSpacing(kColumnSpacing);
    issues_->setVisible(false);
    column_->addWidget(issues_);
    column_->addStretch(1);

    auto* contentLayout = new QHBoxLayout(content);
    contentLayout->setContentsMargins(kColumnPadding, kColumnPadding, kColumnPadding, kColumnPadding);
    contentLayout->addWidget(stack, 1);
    contentLayout->addStretch(0);

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("detailScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->viewport()->setBackgroundRole(QPalette::Window);
    // The page's controls scroll into view as Tab reaches them; the area
    // itself is no stop on the way.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);

    auto* layout = new QVBoxLayout(detail);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(rule);
    layout->addWidget(scroll, 1);
    return detail;
}

void ContentView::setPage(std::optional<SettingsPage> page) {
    if (page == page_) return;
    page_ = page;
    syncSidebarSelection();
    showSelectedPage();
}

void ContentView::syncSidebarSelection() {
    const QSignalBlocker blocker(sidebar_);
    sidebar_->clearSelection();
    for (int row = 0; row < sidebar_->count(); ++row) {
        auto* item = sidebar_->item(row);
        if (page_ && item->data(Qt::UserRole).toString() == enumRaw(*page_)) {
            item->setSelected(true);
            sidebar_->setCurrentItem(item);
        }
    }
}

void ContentView::showSelectedPage() {
    discard(header_);
    discard(guide_);
    discard(pageWidget_);
    // Nothing selected reads as the gestures page.
    const SettingsPage shown = page_.value_or(SettingsPage::gestures);
    int index = column_->indexOf(issues_) + 1;
    header_ = new SettingsPageHeader(shown);
    column_->insertWidget(index++, header_);
    if (shown == SettingsPage::gestures || shown == SettingsPage::edges) {
        guide_ = new TrackpadSetupGuide(context_);
        column_->insertWidget(index++, guide_);
    }
    // A page not registered leaves its slot empty.
    if (const auto factory = pages_.find(shown); factory != pages_.end() && factory->second) {
        pageWidget_ = factory->second(context_);
        pageWidget_->setProperty("settingsPage", enumRaw(shown));
        column_->insertWidget(index++, pageWidget_);
    }
    // Each page opens at its top, not where the previous one was left; a
    // screen reader names the area by its page.
    if (auto* scroll = findChild<QScrollArea*>(QStringLiteral("detailScroll"))) {
        scroll->setAccessibleName(title(shown));
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->minimum());
    }
}

void ContentView::syncIssuesVisibility() {
    issues_->setVisible(actionIssue_.banner || videoIssue_.banner || writeFailureBanner_ || unreadableBanner_);
}

void ContentView::syncActionIssue() {
    syncIssue(actionIssue_, &TrackpadController::actionIssue, &TrackpadController::setActionIssue,
              [this](const QString& issue) {
                  auto* banner = new ActionIssueView(issue, context_.accessibilityTrust);
                  connect(banner, &ActionIssueView::dismissed, this,
                          [this] { context_.controller.setActionIssue(std::nullopt); });
                  return banner;
              });
}

void ContentView::syncVideoIssue() {
    syncIssue(videoIssue_, &TrackpadController::videoControlIssue, &TrackpadController::setVideoControlIssue,
              [this](const QString& issue) {
                  auto* banner = new BrowserVideoIssueView(issue);
                  connect(banner, &BrowserVideoIssueView::dismissed, this,
                          [this] { context_.controller.setVideoControlIssue(std::nullopt); });
                  return banner;
              });
}

void ContentView::syncIssue(IssueBanner& slot, IssueReader read, IssueWriter write,
                            const std::function<kit::StatusBanner*(const QString&)>& make) {
    const auto issue = (context_.controller.*read)();
    // The same text keeps its banner and its running clearance.
    if (issue && slot.banner && slot.banner->text() == *issue) return;
    slot.clearing.cancel();
    discard(slot.banner);
    if (issue) {
        slot.banner = make(*issue);
        // The action banner above the video banner, both above the rest.
        issuesLayout_->insertWidget(&slot == &videoIssue_ && actionIssue_.banner ? 1 : 0, slot.banner);
        // Holds the controller, not the view: GCC 12's vptr check reads the
        // returned issue's address as `this` after a member-pointer call.
        TrackpadController& controller = context_.controller;
        slot.clearing =
            context_.scheduler.after(kIssueLifetime, slot.banner, [&controller, read, write, text = *issue] {
                if ((controller.*read)() == text) (controller.*write)(std::nullopt);
            });
    }
    syncIssuesVisibility();
}

void ContentView::syncWriteFailure() {
    const QString failure = context_.settings.lastWriteFailure();
    if (failure.isEmpty()) dismissedWriteFailure_.clear();
    const bool shown = !failure.isEmpty() && failure != dismissedWriteFailure_;
    const QString text = localized(GLIDRA_TEXT("无法保存设置：%1")).arg(failure);
    if (shown && writeFailureBanner_ && writeFailureBanner_->issue() == text) return;
    discard(writeFailureBanner_);
    if (shown) {
        // Lasts as long as the failure: the settings stay unsaved until a
        // write succeeds. Closing it hides this failure only.
        writeFailureBanner_ = new ActionIssueView(text, context_.accessibilityTrust);
        writeFailureBanner_->setObjectName(QStringLiteral("settingsWriteFailure"));
        issuesLayout_->addWidget(writeFailureBanner_);
        connect(writeFailureBanner_, &ActionIssueView::dismissed, this, [this] {
            dismissedWriteFailure_ = context_.settings.lastWriteFailure();
            syncWriteFailure();
        });
    }
    syncIssuesVisibility();
}

void ContentView::syncUnreadableNotice() {
    const QString notice = context_.settings.unreadableNotice();
    if (unreadableBanner_ && unreadableBanner_->issue() == notice) return;
    discard(unreadableBanner_);
    if (!notice.isEmpty()) {
        // Stays, in this window and the next, until closed: the user's own
        // settings were replaced by the defaults.
        unreadableBanner_ = new ActionIssueView(notice, context_.accessibilityTrust);
        unreadableBanner_->setObjectName(QStringLiteral("settingsUnreadable"));
        issuesLayout_->addWidget(unreadableBanner_);
        connect(unreadableBanner_, &ActionIssueView::dismissed, &context_.settings,
                &ControlSettings::dismissUnreadableNotice);
        // Told now: the next start does not tell it again.
        context_.settings.unreadableNoticeShown();
    }
    syncIssuesVisibility();
}

}  // namespace glidra
