#pragma once

#include <QStringList>
#include <QWidget>

namespace glidra::kit {

// A row of two to five mutually exclusive options. activated(int) reports
// a segment the user chose (click, or the arrow keys while focused) when it
// differs from the current one; setCurrentIndex() from code stays silent.
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
    int segmentAt(const QPoint& position) const;
    void choose(int index);

    QStringList options_;
    int current_ = -1;
    int pressed_ = -1;
};

}  // namespace glidra::kit
