#pragma once

#include "platform/ScreenCovers.h"

#include <map>

namespace glidra::sim {

// Screens and cover windows in memory. Counts every hiding and showing of
// the pointer, so tests see that they stay balanced; the background route
// and the plain hiding can be refused; activation is the test's to grant.
class SimScreenCovers final : public ScreenCovers {
    Q_OBJECT

public:
    struct Cover {
        int screen = 0;
        std::optional<QString> hint;
    };

    using ScreenCovers::ScreenCovers;

    int screenCount() const override { return screens_; }
    CoverId openCover(int screen, const std::optional<QString>& hint) override;
    void removeHint(CoverId cover) override;
    void closeCover(CoverId cover) override { open_.erase(cover); }

    bool hidePointerInBackground() override;
    void showPointerInBackground() override { ++backgroundShows_; }
    bool hidePointer() override;
    void showPointer() override { ++plainShows_; }

    bool isActiveApplication() const override { return active_; }
    std::optional<QString> frontmostApplication() const override { return active_ ? std::nullopt : frontmost_; }
    void activateSelf() override { ++selfActivations_; }
    void activate(const QString& application) override;

    // Attaches or detaches screens and tells the program, as the system does.
    void setScreens(int count);
    // Grants a pending activation: the program comes to the front.
    void becomeActive();
    void setFrontmostApplication(std::optional<QString> application) { frontmost_ = std::move(application); }
    void setBackgroundRouteAvailable(bool available) { backgroundAvailable_ = available; }
    void setHidingFails(bool fails) { hidingFails_ = fails; }

    const std::map<CoverId, Cover>& openCovers() const { return open_; }
    int hintCount() const;
    int backgroundHides() const { return backgroundHides_; }
    int backgroundShows() const { return backgroundShows_; }
    int plainHides() const { return plainHides_; }
    int plainShows() const { return plainShows_; }
    bool isPointerHidden() const { return backgroundHides_ + plainHides_ > backgroundShows_ + plainShows_; }
    int selfActivations() const { return selfActivations_; }
    const std::vector<QString>& activations() const { return activations_; }

private:
    int screens_ = 1;
    CoverId nextCover_ = 1;
    std::map<CoverId, Cover> open_;
    bool backgroundAvailable_ = true;
    bool hidingFails_ = false;
    bool active_ = false;
    std::optional<QString> frontmost_;
    int backgroundHides_ = 0;
    int backgroundShows_ = 0;
    int plainHides_ = 0;
    int plainShows_ = 0;
    int selfActivations_ = 0;
    std::vector<QString> activations_;
};

}  // namespace glidra::sim
