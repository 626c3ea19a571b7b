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
    bool event(QEvent* event) override;

private:
    void applyColour();

    KitColour colour_;
    bool applyingColour_ = false;
};

// Makes `label` name `field` to a screen reader: the label's buddy, which Qt
// on Linux reports as the field's labelled-by relation (there a combo box's
// own name is its current value). `spoken`, when given, is what the label
// says instead of its text, where the text leaves out what lies around it.
// The label and the field must have the same parent.
void labelField(QLabel* label, QWidget* field, const QString& spoken = {});

}  // namespace glidra::kit
