#pragma once

#include "views/kit/GroupBox.h"

namespace glidra {

class Workspace;

// The general page's "浏览器视频" group: the setup guide for both browser
// families, shown while some rule or edge binding scrubs video.
class BrowserVideoHelpView final : public kit::GroupBox {
    Q_OBJECT
public:
    explicit BrowserVideoHelpView(Workspace& workspace, QWidget* parent = nullptr);
};

}  // namespace glidra
