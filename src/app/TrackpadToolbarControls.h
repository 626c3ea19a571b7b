#pragma once

#include <QWidget>

class QToolButton;

namespace glidra {

class TrackpadController;
class TrackpadConnectionIndicator;

// The toolbar's connection indicator and the button that pauses control
// while a trackpad is heard, or asks to connect one otherwise.
class TrackpadToolbarControls final : public QWidget {
    Q_OBJECT
public:
    explicit TrackpadToolbarControls(TrackpadController& controller, QWidget* parent = nullptr);

    QToolButton* controlButton() const { return button_; }

private:
    void sync();
    void press();

    TrackpadController& controller_;
    TrackpadConnectionIndicator* indicator_;
    QToolButton* button_;
};

}  // namespace glidra
