#include "views/kit/ScreenRoom.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace glidra::kit {

namespace {

// Keeps one window's sizes within the room of the screen it is on.
class ScreenFit final : public QObject {
public:
    static constexpr const char* name = "glidraScreenFit";

    explicit ScreenFit(QWidget* window) : QObject(window), window_(window) {
        setObjectName(QLatin1String(name));
        window->installEventFilter(this);
    }

    // By name: without a meta-object of its own, findChild<ScreenFit*> would
    // take any child for one.
    static ScreenFit* of(QWidget* window) {
        if (auto* fit = window->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly)) {
            return static_cast<ScreenFit*>(fit);
        }
        return new ScreenFit(window);
    }

    enum class Mode { resizable, fixed, sheet };

    void set(QSize wanted, QSize minimum, Mode mode) {
        wanted_ = wanted;
        minimum_ = minimum;
        mode_ = mode;
        apply(true);
        // A shown window that grows where it stands (the rule editor's next
        // step) would run off the screen's edge: it moves back inside.
        if (shown_ && window_->isVisible()) keepOnScreen();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        // Before the dialog's own show handling, which centres it by its size.
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            apply(!shown_);
            shown_ = true;
            watchScreen();
        }
        return false;
    }

private:
    void watchScreen() {
        QWindow* handle = window_->windowHandle();
        if (!handle || handle == watched_) return;
        watched_ = handle;
        connect(handle, &QWindow::screenChanged, this, [this] { apply(false); });
    }

    // `open`: also the size the window opens at.
    void apply(bool open) {
        const QSize room = windowRoom(window_);
        const QSize bounded = room.isEmpty() ? wanted_ : wanted_.boundedTo(room);
        if (mode_ == Mode::fixed) {
            window_->setFixedSize(bounded);
            return;
        }
        if (mode_ == Mode::sheet) {
            window_->setFixedWidth(bounded.width());
            if (open) {
                fitHeightToContent(window_);
            } else if (!room.isEmpty() && window_->height() > room.height()) {
                window_->resize(window_->width(), room.height());
            }
            return;
        }
        const QSize least = minimum_.expandedTo(QSize(0, 0));
        const QSize minimum = room.isEmpty() ? least : least.boundedTo(room);
        window_->setMinimumSize(minimum);
        if (open) {
            window_->resize(fittedSize(wanted_, minimum, room));
        } else if (!room.isEmpty()) {
            // A smaller screen: no larger than it, never below the minimum.
            window_->resize(window_->size().boundedTo(room).expandedTo(minimum));
        }
    }

    void keepOnScreen() {
        const QScreen* screen = screenOf(window_);
        QWindow* handle = window_->windowHandle();
        if (!screen || !handle) return;
        const QRect free = screen->availableGeometry();
        // The frame as the platform has it now, around the new size: the
        // widget keeps the frame it measured first.
        const QRect frame(handle->framePosition(), window_->size().grownBy(handle->frameMargins()));
        const auto inside = [](int start, int length, int freeStart, int freeLength) {
            return std::max(freeStart, std::min(start, freeStart + freeLength - length));
        };
        const QPoint place(inside(frame.x(), frame.width(), free.x(), free.width()),
                           inside(frame.y(), frame.height(), free.y(), free.height()));
        if (place != frame.topLeft()) handle->setFramePosition(place);
    }

    QWidget* window_;
    QPointer<QWindow> watched_;
    QSize wanted_;
    QSize minimum_;
    Mode mode_ = Mode::resizable;
    bool shown_ = false;
};

}  // namespace

QScreen* screenOf(const QWidget* window) {
    if (const QWindow* handle = window->windowHandle(); handle && handle->screen()) return handle->screen();
    if (const QWidget* parent = window->parentWidget()) return screenOf(parent->window());
    return QGuiApplication::primaryScreen();
}

QSize windowRoom(const QWidget* window) {
    const QScreen* screen = screenOf(window);
    if (!screen) return {};
    const QSize room = screen->availableGeometry().size() - windowFrameAllowance;
    return room.isValid() ? room : QSize();
}

QSize fittedSize(QSize wanted, QSize minimum, QSize room) {
    if (room.isEmpty()) return wanted;
    return wanted.boundedTo(room).expandedTo(minimum);
}

void fitToScreen(QWidget* window, QSize wanted, QSize minimum) {
    ScreenFit::of(window)->set(wanted, minimum, ScreenFit::Mode::resizable);
}

void fixToScreen(QWidget* window, QSize size) { ScreenFit::of(window)->set(size, size, ScreenFit::Mode::fixed); }

void fitSheetToScreen(QWidget* window, int width) {
    ScreenFit::of(window)->set(QSize(width, QWIDGETSIZE_MAX), {}, ScreenFit::Mode::sheet);
}

void fitHeightToContent(QWidget* window) {
    const QLayout* layout = window->layout();
    if (!layout) return;
    const int width = window->width();
    int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
    if (const QSize room = windowRoom(window); !room.isEmpty()) height = std::min(height, room.height());
    window->resize(width, height);
}

}  // namespace glidra::kit
