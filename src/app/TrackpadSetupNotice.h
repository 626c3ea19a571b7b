#pragma once

#include "views/kit/RoundedBox.h"

#include <functional>
#include <optional>

class QPushButton;
class QVBoxLayout;

namespace glidra {

// One setup card: what is missing, why, and a button that fixes it or leads
// to where it can be fixed. A card whose fix has no place on this desktop has
// no button; its message says what to do.
class TrackpadSetupNotice final : public kit::RoundedBox {
    Q_OBJECT
public:
    TrackpadSetupNotice(const QString& title, const QString& message, const QString& symbol,
                        const std::optional<QString>& buttonTitle, std::function<void()> action,
                        QWidget* parent = nullptr);

    // Puts `detail` under the message, for a card with more to show than a
    // sentence or two.
    void setDetail(QWidget* detail);

    QString title() const { return title_; }
    QString message() const { return message_; }
    QPushButton* button() const { return button_; }

private:
    QString title_;
    QString message_;
    QPushButton* button_ = nullptr;
    QVBoxLayout* lines_ = nullptr;
};

}  // namespace glidra
