#pragma once

#include "views/kit/KitColour.h"

#include <QWidget>

namespace glidra::kit {

// A decorative symbol as tall as a line of its font, tinted with a named
// colour from the current palette.
class SymbolView : public QWidget {
    Q_OBJECT
public:
    explicit SymbolView(const QString& symbol = {}, KitColour colour = KitColour::primary, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    QString symbol() const { return symbol_; }
    void setColour(KitColour colour);
    KitColour colour() const { return colour_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    KitColour colour_;
};

}  // namespace glidra::kit
