#include "app/TrackpadSetupNotice.h"

#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace glidra {

TrackpadSetupNotice::TrackpadSetupNotice(const QString& title, const QString& message, const QString& symbol,
                                         const std::optional<QString>& buttonTitle, std::function<void()> action,
                                         QWidget* parent)
    : kit::RoundedBox(kit::KitColour::quaternaryFill, 10, parent), title_(title), message_(message) {
    setObjectName(QStringLiteral("setupNotice"));
    auto* heading = new kit::SymbolLabel(symbol, title);
    heading->setObjectName(QStringLiteral("setupNoticeTitle"));
    heading->setTextStyle(kit::TextStyle::callout, QFont::DemiBold);
    auto* explanation = new kit::StyledLabel(message, kit::TextStyle::callout, kit::KitColour::secondary);
    explanation->setObjectName(QStringLiteral("setupNoticeMessage"));
    explanation->setWordWrap(true);

    lines_ = new QVBoxLayout;
    lines_->setContentsMargins(0, 0, 0, 0);
    lines_->setSpacing(5);
    lines_->addWidget(heading);
    lines_->addWidget(explanation);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(16);
    layout->addLayout(lines_, 1);
    if (buttonTitle) {
        button_ = new QPushButton(*buttonTitle);
        button_->setObjectName(QStringLiteral("setupNoticeButton"));
        button_->setDefault(true);
        button_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        layout->addWidget(button_, 0, Qt::AlignVCenter);
        connect(button_, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    }
}

void TrackpadSetupNotice::setDetail(QWidget* detail) {
    lines_->addSpacing(5);
    lines_->addWidget(detail);
}

}  // namespace glidra
