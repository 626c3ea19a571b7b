#include "views/pages/BrowserVideoSetupGuide.h"

#include "platform/Workspace.h"
#include "views/kit/PlainButton.h"
#include "views/kit/StyledLabel.h"
#include "views/pages/BrowserVideoSetupSteps.h"
#include "views/pages/Divider.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace glidra {

namespace {

kit::StyledLabel* text(const QString& content, kit::TextStyle style = kit::TextStyle::callout,
                       kit::KitColour colour = kit::KitColour::primary) {
    auto* label = new kit::StyledLabel(content, style, colour);
    label->setWordWrap(true);
    return label;
}

}  // namespace

BrowserVideoSetupGuide::BrowserVideoSetupGuide(Workspace& workspace, QWidget* parent)
    : QWidget(parent), workspace_(workspace) {
    setObjectName(QStringLiteral("browserVideoSetupGuide"));
    // Takes the full height of its wrapped text, never cut.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);

    auto* heading = text(tr("开启视频进度控制"), kit::TextStyle::title3);
    heading->setTextStyle(kit::TextStyle::title3, QFont::Bold);
    auto* chromium = text(tr("Chrome 与 Chromium"), kit::TextStyle::headline);
    chromium->setObjectName(QStringLiteral("chromiumHeading"));
    auto* firefox = text(QStringLiteral("Firefox"), kit::TextStyle::headline);
    firefox->setObjectName(QStringLiteral("firefoxHeading"));
    auto* sharedStep = text(tr("③ 回到视频页面，先开始播放，抬手后重新滑动。"));
    sharedStep->setObjectName(QStringLiteral("sharedStep"));

    auto* chromiumLink = new kit::PlainButton(tr("Chromium 官方说明"), kit::TextStyle::callout);
    chromiumLink->setObjectName(QStringLiteral("chromiumDocumentation"));
    auto* firefoxLink = new kit::PlainButton(tr("Firefox 官方说明"), kit::TextStyle::callout);
    firefoxLink->setObjectName(QStringLiteral("firefoxDocumentation"));
    auto* links = new QHBoxLayout;
    links->setContentsMargins(0, 0, 0, 0);
    // No button for a browser-control permission: a browser publishes its
    // media without one.
    links->addStretch(1);
    links->addWidget(chromiumLink);
    links->addWidget(firefoxLink);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addWidget(heading);
    layout->addWidget(
        text(tr("首次使用设置一次，之后就能直接滑动。"), kit::TextStyle::callout, kit::KitColour::secondary));
    layout->addWidget(chromium);
    layout->addWidget(new BrowserVideoSetupSteps(false));
    layout->addWidget(divider());
    layout->addWidget(firefox);
    layout->addWidget(new BrowserVideoSetupSteps(true));
    layout->addWidget(sharedStep);
    layout->addWidget(text(tr("开启后，本机应用可以通过桌面的媒体接口查看并控制浏览器正在播放的媒体。"),
                           kit::TextStyle::caption, kit::KitColour::secondary));
    layout->addWidget(divider());
    layout->addLayout(links);
    layout->addWidget(text(tr("仍无法控制？重新启动浏览器，并确认视频就在最前面的浏览器窗口中播放。"),
                           kit::TextStyle::caption, kit::KitColour::secondary));

    connect(chromiumLink, &kit::PlainButton::clicked, this, [this] { workspace_.openUrl(chromiumDocumentation()); });
    connect(firefoxLink, &kit::PlainButton::clicked, this, [this] { workspace_.openUrl(firefoxDocumentation()); });
}

QUrl BrowserVideoSetupGuide::chromiumDocumentation() {
    return QUrl(QStringLiteral("https://developer.chrome.com/blog/media-session/"));
}

QUrl BrowserVideoSetupGuide::firefoxDocumentation() {
    return QUrl(QStringLiteral("https://support.mozilla.org/kb/control-audio-or-video-playback-your-keyboard"));
}

int BrowserVideoSetupGuide::heightForWidth(int width) const { return layout()->totalHeightForWidth(width); }

}  // namespace glidra
