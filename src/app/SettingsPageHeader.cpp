#include "app/SettingsPageHeader.h"

#include "views/kit/StyledLabel.h"

#include <QVBoxLayout>

namespace glidra {

SettingsPageHeader::SettingsPageHeader(SettingsPage page, QWidget* parent) : QWidget(parent), page_(page) {
    setObjectName(QStringLiteral("pageHeader"));
    auto* heading = new kit::StyledLabel(title(page), kit::TextStyle::largeTitle);
    heading->setObjectName(QStringLiteral("pageTitle"));
    heading->setTextStyle(kit::TextStyle::largeTitle, QFont::Bold);
    auto* caption = new kit::StyledLabel(subtitle(page), kit::TextStyle::body, kit::KitColour::secondary);
    caption->setObjectName(QStringLiteral("pageSubtitle"));
    caption->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(heading);
    layout->addWidget(caption);
}

}  // namespace glidra
