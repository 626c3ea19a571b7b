#pragma once

#include "views/kit/RoundedBox.h"

class QHBoxLayout;

namespace glidra::kit {

class SymbolLabel;

// A status banner: a symbol and a message on the quaternary style in a
// rectangle of radius 10, with room for buttons at its trailing end. The
// message is shown as given, wrapped, never cut.
class StatusBanner : public RoundedBox {
    Q_OBJECT
public:
    static constexpr double cornerRadius = 10;

    explicit StatusBanner(const QString& symbol = {}, const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;
    SymbolLabel* message() const { return message_; }

    // Adds a widget after the flexible space, left to right.
    void addTrailingWidget(QWidget* widget);

private:
    SymbolLabel* message_;
    QHBoxLayout* layout_;
};

}  // namespace glidra::kit
