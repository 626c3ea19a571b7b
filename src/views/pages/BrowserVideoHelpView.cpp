#include "views/pages/BrowserVideoHelpView.h"

#include "views/pages/BrowserVideoSetupGuide.h"

#include <QVBoxLayout>

namespace glidra {

BrowserVideoHelpView::BrowserVideoHelpView(Workspace& workspace, QWidget* parent)
    : kit::GroupBox(tr("浏览器视频"), parent) {
    setObjectName(QStringLiteral("browserVideoHelp"));
    // The guide pads itself.
    contentLayout()->setContentsMargins(0, 0, 0, 0);
    addWidget(new BrowserVideoSetupGuide(workspace));
}

}  // namespace glidra
