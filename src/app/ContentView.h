#pragma once

#include "app/SettingsPage.h"
#include "platform/Scheduler.h"
#include "views/kit/StatusBanner.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>

class QListWidget;
class QScrollArea;
class QVBoxLayout;

namespace glidra {

class ActionIssueView;
class SettingsPageHeader;
class TrackpadController;
class TrackpadSetupGuide;
struct UiContext;

// Builds a page's content for the settings window; the window owns it.
using PageFactory = std::function<QWidget*(UiContext& context)>;
using PageFactories = std::map<SettingsPage, PageFactory>;

// The settings window's content: a sidebar of pages with the update and
// feedback buttons at its foot, and a detail column with the toolbar, the
// issue banners, the page header, the setup guide and the selected page.
// Every page is built anew when selected and destroyed when left.
class ContentView final : public QWidget {
    Q_OBJECT
public:
    // Seconds a banner stays before its issue is cleared.
    static constexpr double kIssueLifetime = 5.0;
    // The least size the window takes where the screen has room for it; on a
    // smaller screen the page scrolls instead.
    static constexpr QSize minimumContentSize{820, 580};

    ContentView(UiContext& context, PageFactories pages, QWidget* parent = nullptr);

    std::optional<SettingsPage> page() const { return page_; }
    // Selects a page (or none, which shows the gestures page).
    void setPage(std::optional<SettingsPage> page);

    QWidget* pageWidget() const { return pageWidget_; }

private:
    QWidget* buildSidebar();
    QWidget* buildDetail();
    void showSelectedPage();
    // A banner for one of the controller's issues, cleared a while after its
    // text appeared.
    struct IssueBanner {
        QPointer<kit::StatusBanner> banner;
        TimerHandle clearing;
    };
    using IssueReader = std::optional<QString> (TrackpadController::*)() const;
    using IssueWriter = void (TrackpadController::*)(std::optional<QString>);
    void syncIssue(IssueBanner& slot, IssueReader read, IssueWriter write,
                   const std::function<kit::StatusBanner*(const QString&)>& make);
    void syncActionIssue();
    void syncVideoIssue();
    void syncWriteFailure();
    void syncUnreadableNotice();
    void syncIssuesVisibility();
    void syncSidebarSelection();

    UiContext& context_;
    PageFactories pages_;
    std::optional<SettingsPage> page_ = SettingsPage::gestures;

    QListWidget* sidebar_ = nullptr;
    QWidget* issues_ = nullptr;
    QVBoxLayout* issuesLayout_ = nullptr;
    QVBoxLayout* column_ = nullptr;
    IssueBanner actionIssue_;
    IssueBanner videoIssue_;
    QPointer<ActionIssueView> writeFailureBanner_;
    QString dismissedWriteFailure_;
    QPointer<ActionIssueView> unreadableBanner_;
    QPointer<SettingsPageHeader> header_;
    QPointer<TrackpadSetupGuide> guide_;
    QPointer<QWidget> pageWidget_;
};

}  // namespace glidra
