#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QIcon;
class QMenu;

namespace glidra {

// The desktop's place for the program's status icon (a tray or a
// StatusNotifier host), and the icon in it. At login the panel often starts
// after the program, so a tray may come later.
class SystemTray : public QObject {
    Q_OBJECT
public:
    virtual bool isAvailable() const = 0;

    // Puts the program's icon there with its tool tip and its menu, which
    // stays the caller's and outlives the icon; once, while the tray is
    // available. A panel that restarts gets the icon again.
    virtual void showIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) = 0;
    virtual bool isShowingIcon() const = 0;
    // A new look for the shown icon.
    virtual void setIcon(const QIcon& icon) = 0;
    // Takes the icon away again.
    virtual void hideIcon() = 0;
    // Where the shown icon is on the screen, when the panel says.
    virtual std::optional<QRect> iconGeometry() const = 0;

Q_SIGNALS:
    // A tray came where there was none; emitted once.
    void becameAvailable();
    // A plain click on the icon, from a panel that leaves the menu to the
    // program: where the menu goes (screen coordinates).
    void activated(QPoint menuPosition);
};

}  // namespace glidra
