#pragma once

#include "views/kit/FlatSymbolButton.h"

namespace glidra {

class UpdateController;

// The sidebar's "有新版本" button, shown only while a newer version waits.
class UpdateSidebarButton final : public kit::FlatSymbolButton {
    Q_OBJECT
public:
    explicit UpdateSidebarButton(UpdateController& updater, QWidget* parent = nullptr);

private:
    void sync();

    UpdateController& updater_;
};

}  // namespace glidra
