#include "views/pages/FeatureRequestButton.h"

#include "views/ViewContext.h"
#include "views/pages/FeatureRequestView.h"

namespace glidra {

FeatureRequestButton::FeatureRequestButton(ViewContext& context, QWidget* parent)
    : kit::FlatSymbolButton(QStringLiteral("bubble.left.and.bubble.right"), tr("反馈与帮助"), kit::KitColour::secondary,
                       parent),
      context_(context) {
    setObjectName(QStringLiteral("featureRequestButton"));
    setToolTip(tr("反馈问题或提出功能建议"));
    connect(this, &FeatureRequestButton::clicked, this, &FeatureRequestButton::present);
}

void FeatureRequestButton::present() {
    if (sheet_) {
        sheet_->raise();
        return;
    }
    sheet_ = new FeatureRequestView(context_.controller, context_.workspace, context_.bundle, description_, category_,
                                    window());
    connect(sheet_, &FeatureRequestView::descriptionEdited, this,
            [this](const QString& description) { description_ = description; });
    connect(sheet_, &FeatureRequestView::categoryChosen, this,
            [this](FeedbackCategory category) { category_ = category; });
    sheet_->open();
}

}  // namespace glidra
