#pragma once

#include <QWidget>

#include <memory>

namespace glidra {

class HUDView;

// The HUD's window: frameless, above other windows, transparent to input,
// never taking focus and never in the task bar. It holds one view, centred,
// and paints the view's shadow around it; where nothing composites windows,
// it is an opaque panel instead, since its clear parts would show black.
class HUDPanel final : public QWidget {
    Q_OBJECT
public:
    enum class Backdrop { translucent, opaque };

    // Between the panel's edge and its view's capsule.
    static constexpr int padding = 8;

    HUDPanel();
    ~HUDPanel() override;

    // Replaces the view (the old one is deleted) and resizes the panel.
    void setContent(std::unique_ptr<HUDView> view, const QSize& panelSize);
    HUDView* content() const { return content_; }

    // Shows the panel where it is, in front, without activating it.
    void present();

    void setBackdrop(Backdrop backdrop);
    Backdrop backdrop() const { return backdrop_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void centreContent();

    HUDView* content_ = nullptr;
    Backdrop backdrop_ = Backdrop::translucent;
};

}  // namespace glidra
