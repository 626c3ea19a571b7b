#pragma once

#include "views/kit/FlatSymbolButton.h"
#include "views/pages/FeatureRequestView.h"
#include "views/pages/FeedbackCategory.h"

#include <QPointer>

namespace glidra {

class FeatureRequestView;
struct ViewContext;

// The sidebar's "反馈与帮助" button with its sheet. The description and the
// category belong to the button, so closing the sheet in any way keeps them
// for the next opening.
class FeatureRequestButton final : public kit::FlatSymbolButton {
    Q_OBJECT
public:
    explicit FeatureRequestButton(ViewContext& context, QWidget* parent = nullptr);

    // Opens the sheet on the button's window, or raises the one open.
    void present();

    QString description() const { return description_; }
    FeedbackCategory category() const { return category_; }
    FeatureRequestView* sheet() const { return sheet_; }

private:
    ViewContext& context_;
    QString description_;
    FeedbackCategory category_ = FeedbackCategory::problem;
    QPointer<FeatureRequestView> sheet_;
};

}  // namespace glidra
