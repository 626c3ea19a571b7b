#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace glidra {

struct UiContext;

// The tray's menu of quick switches: open the settings, connect or pause
// control, undo the lasting effects some actions leave (each item shown only
// while its effect is in force), and quit. One long-lived menu whose items
// follow the observed state.
class ControlMenu final : public QObject {
    Q_OBJECT
public:
    ControlMenu(UiContext& context, std::function<void()> openSettings, std::function<void()> quit,
                QObject* parent = nullptr);
    ~ControlMenu() override;

    QMenu* menu() const { return menu_; }
    // The items shown now, top to bottom, by object name ("separator" for
    // the divider).
    QStringList visibleItems() const;
    QAction* item(const QString& name) const;

private:
    QAction* addItem(const QString& name, const QString& text, std::function<void()> action);
    void sync();

    UiContext& context_;
    QMenu* menu_;
    QAction* reconnect_;
    QAction* pause_;
    QAction* unlockKeyboard_;
    QAction* disableKeepAwake_;
    QAction* restoreMicrophone_;
    QAction* showDesktopIcons_;
};

}  // namespace glidra
