#pragma once

#include "views/kit/KitColour.h"
#include "views/kit/TextStyle.h"

#include <QWidget>

namespace glidra::kit {

class StyledLabel;
class SymbolView;

// A symbol followed by a text, both in one style and colour. The text is
// plain and wraps rather than being cut.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    explicit SymbolLabel(const QString& symbol = {}, const QString& text = {}, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    QString symbol() const;
    void setText(const QString& text);
    QString text() const;
    void setColour(KitColour colour);
    void setTextStyle(TextStyle style, std::optional<QFont::Weight> weight = std::nullopt);

    StyledLabel* label() const { return label_; }
    SymbolView* symbolView() const { return symbolView_; }

private:
    SymbolView* symbolView_;
    StyledLabel* label_;
};

}  // namespace glidra::kit
