#pragma once

#include <QWidget>

class QVBoxLayout;

namespace glidra::kit {

class RoundedBox;
class StyledLabel;

// A titled group of settings: a plain-text title over a box whose content is
// a leading-aligned column with 14 between items, inset by 12.
class GroupBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int spacing = 14;
    static constexpr int inset = 12;

    explicit GroupBox(const QString& title = {}, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;

    QVBoxLayout* contentLayout() const { return content_; }
    void addWidget(QWidget* widget);

private:
    StyledLabel* title_;
    RoundedBox* box_;
    QVBoxLayout* content_;
};

}  // namespace glidra::kit
