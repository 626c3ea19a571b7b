#pragma once

#include <QWidget>

namespace glidra {

class TrackpadController;

namespace kit {
class StyledLabel;
}

// A dot and a word for whether a trackpad is heard: green "已连接" while
// idle or active, "未连接" otherwise; the tooltip adds the status line.
class TrackpadConnectionIndicator final : public QWidget {
    Q_OBJECT
public:
    explicit TrackpadConnectionIndicator(TrackpadController& controller, QWidget* parent = nullptr);

    bool isConnected() const;

private:
    void sync();

    TrackpadController& controller_;
    QWidget* dot_;
    kit::StyledLabel* word_;
};

}  // namespace glidra
