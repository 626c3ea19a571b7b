#pragma once

#include "platform/FileDialogs.h"

namespace glidra::linux_platform {

// Qt's file dialogs (the desktop's own where the platform theme provides
// them), window-modal to the parent.
class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const OpenRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveRequest& request) override;
};

}  // namespace glidra::linux_platform
