#pragma once

#include "platform/DesktopViews.h"

namespace glidra::sim {

// Desktop views whose outcome the test picks; counts the requests.
class SimDesktopViews final : public DesktopViews {
public:
    Outcome showDesktop() override {
        ++desktopRequests_;
        return desktopOutcome_;
    }
    QCoro::Task<Outcome> openOverview() override {
        ++overviewRequests_;
        co_return overviewOutcome_;
    }

    void setDesktopOutcome(Outcome outcome) { desktopOutcome_ = outcome; }
    void setOverviewOutcome(Outcome outcome) { overviewOutcome_ = outcome; }
    int desktopRequests() const { return desktopRequests_; }
    int overviewRequests() const { return overviewRequests_; }

private:
    Outcome desktopOutcome_ = Outcome::shown;
    Outcome overviewOutcome_ = Outcome::shown;
    int desktopRequests_ = 0;
    int overviewRequests_ = 0;
};

}  // namespace glidra::sim
