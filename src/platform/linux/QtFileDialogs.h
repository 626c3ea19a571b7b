#pragma once

#include "platform/FileDialogs.h"

namespace glidra::linux_platform {

// Qt's file dialogs (the desktop's own where the platform theme provides
// them), made on the heap per request, window-modal to the parent, shown
// with open() and deleted once closed.
class QtFileDialogs final : public FileDialogs {
public:
    void openFile(QWidget* parent, const OpenRequest& request, QObject* receiver, Answer answer) override;
    void saveFile(QWidget* parent, const SaveRequest& request, QObject* receiver, Answer answer) override;
};

}  // namespace glidra::linux_platform
