#include "app/SettingsWindow.h"

namespace glidra {

SettingsWindow::SettingsWindow(UiContext& context, const PageFactories& pages, QWidget* parent)
    : QMainWindow(parent), content_(new ContentView(context, pages)) {
    setObjectName(QStringLiteral("controls"));
    setWindowTitle(QStringLiteral("Glidra"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(content_);
    setMinimumSize(content_->minimumSize());
    resize(defaultSize);
}

}  // namespace glidra
