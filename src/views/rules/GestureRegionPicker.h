#pragma once

#include "views/rules/GestureRegionFields.h"

#include <QWidget>

namespace glidra {

struct ViewContext;
class GestureRegionButton;

// The labelled row of the rule editor's options: "触发区域" and the full
// region button.
class GestureRegionPicker : public QWidget {
    Q_OBJECT
public:
    explicit GestureRegionPicker(ViewContext& context, QWidget* parent = nullptr);

    // From the owner's rule; no signal.
    void setFields(const GestureRegionFields& fields);
    const GestureRegionFields& fields() const;
    GestureRegionButton* button() const { return button_; }

Q_SIGNALS:
    void regionChosen(const glidra::GestureRegionFields& fields);

private:
    GestureRegionButton* button_;
};

}  // namespace glidra
