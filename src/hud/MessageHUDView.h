#pragma once

#include "hud/HUDView.h"
#include "notices/HUDNotice.h"

#include <QStringList>

namespace glidra {

// A notice: its symbol (orange for an error) and its text as given, on at
// most two lines.
class MessageHUDView final : public HUDView {
    Q_OBJECT
public:
    static constexpr int minimumWidth = 120;
    static constexpr int maximumWidth = 264;
    static constexpr int minimumHeight = 48;

    // Sized for a panel of `panelWidth`: the width it leaves, within the
    // bounds above.
    MessageHUDView(const HUDNotice& notice, int panelWidth, QWidget* parent = nullptr);

    const HUDNotice& notice() const { return notice_; }
    // The text as laid out, one entry a line.
    QStringList lines() const { return lines_; }

protected:
    void paintContent(QPainter& painter, const QRectF& row) override;

private:
    HUDNotice notice_;
    QStringList lines_;
};

}  // namespace glidra
