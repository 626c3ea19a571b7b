#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// Black windows above everything else, one per screen, and the pointer over
// them: what the cleaning mode puts between the user's cloth and the
// desktop. Main thread only; signals arrive on the main thread.
class ScreenCovers : public QObject {
    Q_OBJECT

public:
    using CoverId = std::uint64_t;

    using QObject::QObject;
    ~ScreenCovers() override = default;

    // The screens now attached, in the system's order.
    virtual int screenCount() const = 0;
    // Covers the screen at `screen` with a borderless black window on top of
    // everything, on every workspace, shown without taking the focus; `hint`
    // is drawn centred in white when given.
    virtual CoverId openCover(int screen, const std::optional<QString>& hint) = 0;
    virtual void removeHint(CoverId cover) = 0;
    virtual void closeCover(CoverId cover) = 0;

    // Hides the pointer while another application is in front; false when
    // the desktop does not allow it, and then nothing was changed.
    virtual bool hidePointerInBackground() = 0;
    virtual void showPointerInBackground() = 0;
    // The plain way, effective while this program is the active one.
    virtual bool hidePointer() = 0;
    virtual void showPointer() = 0;

    virtual bool isActiveApplication() const = 0;
    // The application in front, to be given the front back later.
    virtual std::optional<QString> frontmostApplication() const = 0;
    // Asks for this program to become the active one; didBecomeActive()
    // follows when it does.
    virtual void activateSelf() = 0;
    virtual void activate(const QString& application) = 0;

Q_SIGNALS:
    // Screens came, went or changed their arrangement.
    void screensChanged();
    void didBecomeActive();
};

}  // namespace glidra
