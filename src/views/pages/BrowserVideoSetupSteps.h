#pragma once

#include <QWidget>

namespace glidra {

// The numbered steps that make one browser publish its media to the desktop,
// where video scrubbing finds it: the Chromium family's media-key handling,
// with a drawing of where the switch sits, or Firefox's preference.
class BrowserVideoSetupSteps final : public QWidget {
    Q_OBJECT
public:
    explicit BrowserVideoSetupSteps(bool isFirefox, QWidget* parent = nullptr);

    bool isFirefox() const { return isFirefox_; }

private:
    bool isFirefox_;
};

}  // namespace glidra
