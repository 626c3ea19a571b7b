#pragma once

#include "actions/BrowserVideoState.h"
#include "hud/HUDView.h"

namespace glidra {

// Browser video scrubbing: "play.rectangle", the time and the duration, and
// a bar of the position.
class VideoProgressHUDView final : public HUDView {
    Q_OBJECT
public:
    static constexpr QSize capsuleSize{256, 60};

    explicit VideoProgressHUDView(const BrowserVideoState& state, QWidget* parent = nullptr);

    const BrowserVideoState& state() const { return state_; }
    // "time / duration".
    QString timeText() const;
    // time out of duration, 0 while the duration is unknown.
    double fraction() const;

protected:
    void paintContent(QPainter& painter, const QRectF& row) override;

private:
    BrowserVideoState state_;
};

}  // namespace glidra
