#pragma once

#include "app/TrackpadSetupNotice.h"
#include "platform/ScenePhase.h"

#include <QPointer>
#include <QWidget>

namespace glidra {

class TrackpadSetupNotice;
struct UiContext;

namespace kit {
class InputGrantList;
}

// Stands between the header and the content of the gestures and edges pages
// and shows the card for the first unmet condition of gesture control: control
// on, input access (which reading any touchpad needs, and the configured
// actions too), and a trackpad heard.
class TrackpadSetupGuide final : public QWidget {
    Q_OBJECT
public:
    enum class Card { paused, waitingForTrackpad, accessibility };

    explicit TrackpadSetupGuide(UiContext& context, QWidget* parent = nullptr);

    // Whether an enabled rule, any edge binding or the edge pointer lock
    // needs the access that synthesising input and reading other windows take.
    bool requiresAccessibilityPermission() const;
    // Asks for the trust again and, with control on, reinstalls the typing
    // guard's key monitor, which only takes effect with the trust.
    void refreshPermission();

    bool permissionGranted() const { return permissionGranted_; }
    std::optional<Card> card() const { return card_; }
    TrackpadSetupNotice* notice() const { return notice_; }

private:
    std::optional<Card> chooseCard() const;
    void sync();
    // The waiting card's text: a paired Bluetooth trackpad that is not
    // connected, or none seen at all (a built-in touchpad needs no pairing).
    QString waitingMessage() const;
    // The access card's text, with the desktop add-on when it is missing.
    QString accessMessage() const;
    void askForDisconnectedTrackpad();

    UiContext& context_;
    bool permissionGranted_ = false;
    std::optional<Card> card_;
    bool showsGrants_ = false;
    std::optional<QString> disconnectedTrackpad_;
    QPointer<TrackpadSetupNotice> notice_;
    QPointer<kit::InputGrantList> grants_;
};

}  // namespace glidra
