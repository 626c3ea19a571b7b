#pragma once

#include <QStringList>
#include <QWidget>

namespace glidra::kit {

// A row of two to five mutually exclusive options. activated(int) reports
// a segment the user chose (click, or the arrow keys while focused) when it
// differs from the current one; setCurrentIndex() from code stays silent.
// Assistive technologies see a group of radio buttons named by the options,
// its value the current option.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList& options = {}, QWidget* parent = nullptr);

    // Keeps the current index when it is still in range, else none (-1).
    void setOptions(const QStringList& options);
    QStringList options() const { return options_; }
    int count() const { return int(options_.size()); }

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);

    QRect segmentRect(int index) const;
    // The segment under a point of the control; -1 for none.
    int segmentAt(const QPoint& position) const;

    // Chooses as the user does (a click, an arrow key, an assistive
    // technology's press): a different segment is reported by activated().
    void chooseSegment(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void announce(int previous);

    QStringList options_;
    int current_ = -1;
    int pressed_ = -1;
};

}  // namespace glidra::kit
