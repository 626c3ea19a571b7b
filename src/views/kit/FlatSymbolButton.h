#pragma once

#include "views/kit/KitColour.h"
#include "views/kit/TextStyle.h"

#include <QAbstractButton>
#include <QMargins>

namespace glidra::kit {

// A borderless button of a symbol and a text at its leading edge, in one
// colour, as wide as it is given; a light fill shows under the pointer.
class FlatSymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    FlatSymbolButton(const QString& symbol, const QString& text, KitColour colour, QWidget* parent = nullptr);

    void setPadding(const QMargins& padding);
    QString symbol() const { return symbol_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int symbolSide() const;

    QString symbol_;
    KitColour colour_;
    QMargins padding_{16, 14, 16, 14};
    bool hovered_ = false;
};

}  // namespace glidra::kit
