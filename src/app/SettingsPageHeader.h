#pragma once

#include "app/SettingsPage.h"

#include <QWidget>

namespace glidra {

// The title and subtitle at the top of every page.
class SettingsPageHeader final : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPageHeader(SettingsPage page, QWidget* parent = nullptr);

    SettingsPage page() const { return page_; }

private:
    SettingsPage page_;
};

}  // namespace glidra
