#pragma once

#include "gestures/SlideDistance.h"

#include <QStringView>
#include <QWidget>

#include <optional>

class QLineEdit;
class QSlider;

namespace glidra {

// How far an edge slide must go before its action runs: a slider over 1 to
// 100 percent beside a small field. The slider edits at every step; the
// field only on Return or when it loses focus, and it puts the current value
// back after anything it cannot read. The owner supplies the value with
// setSelection and stores what selectionEdited reports.
class SlideDistancePicker final : public QWidget {
    Q_OBJECT
public:
    explicit SlideDistancePicker(SlideDistance selection, QWidget* parent = nullptr);

    // From the owner: no signal. While the field is being edited, its text
    // stays as typed.
    void setSelection(SlideDistance selection);
    SlideDistance selection() const { return selection_; }

    QSlider* slider() const { return slider_; }
    QLineEdit* field() const { return field_; }

    // The field's grammar: an optional sign and ASCII digits, blanks around
    // allowed, within 64 bits; nothing for anything else.
    static std::optional<qint64> parsePercent(QStringView text);

Q_SIGNALS:
    // The user's change, always within 1...100.
    void selectionEdited(glidra::SlideDistance selection);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void edit(SlideDistance selection);
    void commitField();
    void syncSlider();
    void fillField();

    SlideDistance selection_;
    QSlider* slider_;
    QLineEdit* field_;
};

}  // namespace glidra
