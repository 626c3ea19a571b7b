#pragma once

#include <QWidget>

namespace glidra::kit {

class StyledLabel;
class Switch;

// A label, a flexible space and a switch whose own label is hidden (the
// switch carries the text as its accessible name). clicked(bool) reports the
// user's changes only.
class SwitchRow : public QWidget {
    Q_OBJECT
public:
    explicit SwitchRow(const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

    // From code: no signal.
    void setChecked(bool checked);
    bool isChecked() const;

    Switch* switchControl() const { return switch_; }
    StyledLabel* label() const { return label_; }

Q_SIGNALS:
    void clicked(bool checked);

private:
    StyledLabel* label_;
    Switch* switch_;
};

}  // namespace glidra::kit
