#pragma once

#include "platform/ScreenCovers.h"

#include <QPointer>

#include <map>

class QLabel;
class QScreen;
class QWidget;

namespace glidra::linux_platform {

// Cover windows as Qt widgets: frameless, black, above every other window
// (outside the window manager's stacking on X11), one per screen. The
// pointer is hidden by a blank cursor on the covers, which needs no focus:
// the covers lie under the pointer wherever it is, so the background route
// always works and the activation fallback is never needed.
class QtScreenCovers final : public ScreenCovers {
    Q_OBJECT

public:
    explicit QtScreenCovers(QObject* parent = nullptr);
    ~QtScreenCovers() override;

    int screenCount() const override;
    CoverId openCover(int screen, const std::optional<QString>& hint) override;
    void removeHint(CoverId cover) override;
    void closeCover(CoverId cover) override;

    bool hidePointerInBackground() override;
    void showPointerInBackground() override;
    bool hidePointer() override { return hidePointerInBackground(); }
    void showPointer() override { showPointerInBackground(); }

    bool isActiveApplication() const override;
    // Other applications' windows are not Qt's to know.
    std::optional<QString> frontmostApplication() const override { return std::nullopt; }
    void activateSelf() override;
    void activate(const QString&) override {}

    // The cover's window, for tests and screenshots.
    QWidget* window(CoverId cover) const;
    QLabel* hintLabel(CoverId cover) const;

private:
    void watchScreen(QScreen* screen);
    // Screen changes come in bursts, and Qt settles its screen list after
    // the signal: one report, from the event loop.
    void reportScreensChanged();
    void applyCursor(QWidget* cover) const;

    struct Cover {
        QPointer<QWidget> window;
        QPointer<QLabel> hint;
    };
    std::map<CoverId, Cover> covers_;
    CoverId nextCover_ = 1;
    bool pointerHidden_ = false;
    bool reportPending_ = false;
};

}  // namespace glidra::linux_platform
