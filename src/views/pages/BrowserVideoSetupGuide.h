#pragma once

#include <QUrl>
#include <QWidget>

namespace glidra {

class Workspace;

// How to let video scrubbing reach the browser, for both browser families
// one after the other, with links to each vendor's own documentation. The
// guide cannot tell whether the browser publishes its media; it shows the
// same texts every time.
class BrowserVideoSetupGuide final : public QWidget {
    Q_OBJECT
public:
    explicit BrowserVideoSetupGuide(Workspace& workspace, QWidget* parent = nullptr);

    static QUrl chromiumDocumentation();
    static QUrl firefoxDocumentation();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

private:
    Workspace& workspace_;
};

}  // namespace glidra
