#pragma once

#include <QAbstractButton>

namespace glidra::kit {

// An on/off switch: a 42 by 24 capsule, blue when on, with a white knob.
// Listen to clicked(bool), which only the user's click or key press emits;
// setChecked() from code stays silent there.
class Switch : public QAbstractButton {
    Q_OBJECT
public:
    explicit Switch(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

}  // namespace glidra::kit
