#pragma once

#include "app/ContentView.h"

#include <QMainWindow>

namespace glidra {

// The settings window, "controls": one at a time, deleted when closed, so a
// reopened window starts on the gestures page.
class SettingsWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize defaultSize{960, 680};

    SettingsWindow(UiContext& context, const PageFactories& pages, QWidget* parent = nullptr);

    ContentView* contentView() const { return content_; }

private:
    ContentView* content_;
};

}  // namespace glidra
