#pragma once

#include "platform/SystemTray.h"

namespace glidra::sim {

// A tray the test puts there, at start or later; it keeps what the program
// shows in it, and the test clicks the icon as a panel would.
class SimSystemTray final : public SystemTray {
    Q_OBJECT
public:
    explicit SimSystemTray(bool available = false) : available_(available) {}
    bool isAvailable() const override { return available_; }
    // The panel comes up.
    void appear() {
        if (available_) return;
        available_ = true;
        Q_EMIT becameAvailable();
    }

    void showIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) override {
        (void)icon;
        ++shown_;
        showing_ = true;
        toolTip_ = toolTip;
        menu_ = menu;
    }
    bool isShowingIcon() const override { return showing_; }
    void setIcon(const QIcon& icon) override {
        (void)icon;
        ++iconUpdates_;
    }
    void hideIcon() override { showing_ = false; }
    std::optional<QRect> iconGeometry() const override { return showing_ ? geometry_ : std::nullopt; }

    // What the program put there.
    const QString& toolTip() const { return toolTip_; }
    QMenu* menu() const { return menu_; }
    // How often the program showed an icon.
    int timesShown() const { return shown_; }
    // How often it gave the shown icon a new look.
    int iconUpdates() const { return iconUpdates_; }
    void setGeometry(std::optional<QRect> geometry) { geometry_ = geometry; }
    void click(QPoint menuPosition) { Q_EMIT activated(menuPosition); }

private:
    bool available_;
    bool showing_ = false;
    int shown_ = 0;
    int iconUpdates_ = 0;
    QString toolTip_;
    QMenu* menu_ = nullptr;
    std::optional<QRect> geometry_;
};

}  // namespace glidra::sim
