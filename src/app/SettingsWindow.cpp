#include "app/SettingsWindow.h"

#include "views/kit/ScreenRoom.h"

namespace glidra {

SettingsWindow::SettingsWindow(UiContext& context, const PageFactories& pages, QWidget* parent)
    : QMainWindow(parent), content_(new ContentView(context, pages)) {
    setObjectName(QStringLiteral("controls"));
    setWindowTitle(QStringLiteral("Glidra"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(content_);
    kit::fitToScreen(this, defaultSize, ContentView::minimumContentSize);
}

}  // namespace glidra
