#pragma once

#include "views/kit/KitColour.h"
#include "views/kit/TextStyle.h"

#include <QLabel>

namespace glidra::kit {

// A label in one of the named text styles and colours. Its text is plain by
// default, since most texts shown carry outside names and messages; the
// colour follows theme changes.
class StyledLabel : public QLabel {
    Q_OBJECT
public:
    explicit StyledLabel(const QString& text = {}, TextStyle style = TextStyle::body,
                         KitColour colour = KitColour::primary, QWidget* parent = nullptr);

    void setTextStyle(TextStyle style, std::optional<QFont::Weight> weight = std::nullopt);
    void setColour(KitColour colour);
    KitColour colour() const { return colour_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColour();

    KitColour colour_;
    bool applyingColour_ = false;
};

}  // namespace glidra::kit
