#pragma once

#include <QWidget>

namespace glidra {

class DesktopIntegration;

namespace kit {
class CaptionLine;
class SymbolLabel;
}  // namespace kit

// On the general page: whether the program's add-on inside the desktop (the
// GNOME Shell extension, the KWin script) answers, what is missing without
// it, and how to switch it on. Hidden on desktops that need none.
class DesktopCompanionView : public QWidget {
    Q_OBJECT
public:
    explicit DesktopCompanionView(DesktopIntegration& desktop, QWidget* parent = nullptr);

private:
    void sync();

    DesktopIntegration& desktop_;
    kit::SymbolLabel* status_;
    kit::CaptionLine* help_;
};

}  // namespace glidra
