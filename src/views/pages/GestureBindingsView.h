#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QPushButton;

namespace glidra {

class ControlSettings;
class EdgeControlRow;
class TrackpadController;
struct ViewContext;

// The edge controls page: the edge band and pointer lock, a row for each
// edge, and a reset to the default edge setup after a confirmation.
class GestureBindingsView final : public QWidget {
    Q_OBJECT
public:
    explicit GestureBindingsView(ViewContext& context, QWidget* parent = nullptr);

    // The confirmation on screen, if any.
    QMessageBox* resetConfirmation() const { return confirmReset_; }
    bool isConfirmingReset() const { return confirmReset_ != nullptr; }

    // The pointer lock off, the default bindings, no stored edge
    // configurations; the edge width stays.
    void resetToDefaults();

private:
    void askToReset();

    ControlSettings& settings_;
    TrackpadController& controller_;
    QPushButton* reset_;
    QPointer<QMessageBox> confirmReset_;
};

}  // namespace glidra
