#include "views/pages/BrowserVideoSetupSteps.h"

#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QVBoxLayout>

namespace glidra {

namespace {

kit::StyledLabel* step(const QString& text) {
    auto* label = new kit::StyledLabel(text, kit::TextStyle::callout);
    label->setWordWrap(true);
    return label;
}

// Where the switch sits: the page to open, then the setting and its value.
kit::RoundedBox* switchPath(const QString& page, const QString& setting) {
    auto* box = new kit::RoundedBox(kit::KitColour::quaternary, 10);
    box->setObjectName(QStringLiteral("switchPath"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    for (const auto& [symbol, text] : {std::pair{QStringLiteral("menubar.rectangle"), page},
                                       std::pair{QStringLiteral("checkmark.square"), setting}}) {
        auto* label = new kit::SymbolLabel(symbol, text);
        label->setTextStyle(kit::TextStyle::callout, QFont::Medium);
        layout->addWidget(label);
    }
    return box;
}

}  // namespace

BrowserVideoSetupSteps::BrowserVideoSetupSteps(bool isFirefox, QWidget* parent)
    : QWidget(parent), isFirefox_(isFirefox) {
    setObjectName(isFirefox ? QStringLiteral("firefoxSteps") : QStringLiteral("chromiumSteps"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    if (isFirefox) {
        layout->addWidget(step(tr("① 在 Firefox 地址栏打开 about:config，搜索 media.hardwaremediakeys.enabled。")));
        layout->addWidget(step(tr("② 确认它的值为 true；若为 false，点按右侧的切换按钮改为 true。")));
    } else {
        layout->addWidget(step(tr("① 在 Chrome 或 Chromium 的地址栏打开：")));
        layout->addWidget(switchPath(QStringLiteral("chrome://flags/#hardware-media-key-handling"),
                                     tr("Hardware Media Key Handling 设为 Default 或 Enabled")));
        layout->addWidget(step(tr("② 若它是 Disabled，改回 Default，再按提示重新启动浏览器。")));
    }
}

}  // namespace glidra
