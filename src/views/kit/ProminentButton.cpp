#include "views/kit/ProminentButton.h"

#include "views/kit/Ground.h"
#include "views/kit/InheritedPalette.h"
#include "views/kit/KitColour.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <limits>

namespace glidra::kit {

namespace {

// Between the face's edge and where its text may stand: the frame and the
// style's inner lines stay out of the measure.
constexpr int faceInset = 3;
// The focus ring: its width, the gap between it and the face, its corners.
constexpr double ringWidth = 2;
constexpr double ringGap = 1;
constexpr double ringRadius = 6;

struct Face {
    QColor fill;
    QColor text;
};

// The highlight as the face and the highlighted text on it, the face shifted
// until the text reads; when no shift is enough, black or white text,
// whichever reads better.
Face legibleFace(const QPushButton* button, const QColor& fill, const QColor& text) {
    const auto readable = [button](const QColor& ink) {
        return [button, ink](const QColor& face) { return faceContrast(button, face, ink) >= textContrast; };
    };
    if (const auto face = leastShifted(fill, readable(text))) return {*face, text};
    for (const QColor ink : {QColor(Qt::white), QColor(Qt::black)}) {
        if (const auto face = leastShifted(fill, readable(ink))) return {*face, ink};
    }
    return {fill,
            contrastRatio(Qt::white, fill) >= contrastRatio(Qt::black, fill) ? QColor(Qt::white) : QColor(Qt::black)};
}

// The style marks the focus of a button by a line in the highlight, which the
// filled face hides: a ring of its own goes around the face instead, apart
// from it by a gap. It lies outside the button, so it is a sibling above it,
// shown while the button has the focus.
class FocusRing final : public QWidget {
public:
    static constexpr int reach = int(ringGap + ringWidth) + 1;

    explicit FocusRing(QPushButton* button) : QWidget(button->parentWidget()), button_(button) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void follow() {
        if (parentWidget() != button_->parentWidget()) setParent(button_->parentWidget());
        const bool shown = button_->hasFocus() && button_->isVisible() && parentWidget();
        if (shown) {
            setGeometry(button_->geometry().adjusted(-reach, -reach, reach, reach));
            raise();
        }
        setVisible(shown);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(focusRingColour(button_), ringWidth));
        painter.setBrush(Qt::NoBrush);
        const double middle = ringGap + ringWidth / 2;
        const QRectF face(reach, reach, button_->width(), button_->height());
        painter.drawRoundedRect(face.adjusted(-middle, -middle, middle, middle), ringRadius, ringRadius);
    }

private:
    QPushButton* button_;
};

class Prominence final : public QObject {
public:
    static constexpr const char* name = "glidraProminence";

    explicit Prominence(QPushButton* button) : QObject(button), button_(button) {
        setObjectName(QLatin1String(name));
        apply();
        ring_ = new FocusRing(button);
        button->installEventFilter(this);
    }
    // A ring that never found a parent goes with the button.
    ~Prominence() override { delete ring_.data(); }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::PaletteChange:
            case QEvent::StyleChange:
                apply();
                if (ring_) ring_->follow();
                break;
            case QEvent::ParentChange:
                apply();
                if (ring_) ring_->follow();
                break;
            case QEvent::FocusIn:
            case QEvent::FocusOut:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                if (ring_) ring_->follow();
                break;
            default:
                break;
        }
        return false;
    }

private:
    // From the palette the button would have without its face, so that a
    // theme change starts again from the new highlight.
    void apply() {
        if (applying_) return;
        applying_ = true;
        const QPalette inherited = inheritedPalette(button_);
        QPalette palette = button_->palette();
        std::optional<std::pair<Face, Face>> last;  // the inputs and result of the group before
        for (const auto group : {QPalette::Active, QPalette::Inactive}) {
            const Face wanted{inherited.color(group, QPalette::Highlight),
                              inherited.color(group, QPalette::HighlightedText)};
            const Face face = last && last->first.fill == wanted.fill && last->first.text == wanted.text
                                  ? last->second
                                  : legibleFace(button_, wanted.fill, wanted.text);
            last.emplace(wanted, face);
            palette.setColor(group, QPalette::Button, face.fill);
            palette.setColor(group, QPalette::ButtonText, face.text);
        }
        button_->setPalette(palette);
        applying_ = false;
    }

    QPushButton* button_;
    QPointer<FocusRing> ring_;
    bool applying_ = false;
};

}  // namespace

QColor focusRingColour(const QPushButton* button) {
    const QColor around =
        button->parentWidget() ? groundOf(button->parentWidget()) : button->palette().color(QPalette::Window);
    // The face as the style paints it (lighter than its fill, with a
    // gradient) along the edge the ring runs beside, in every state.
    std::vector<QColor> grounds{around};
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(QPoint(0, 0), button->size().expandedTo(QSize(48, 24)));
    QImage face(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    const QStyle::State resting = (option.state & ~(QStyle::State_Sunken | QStyle::State_MouseOver)) |
                                  QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_HasFocus;
    for (const QStyle::StateFlag extra : {QStyle::State_None, QStyle::State_MouseOver, QStyle::State_Sunken}) {
        face.fill(around);
        QPainter painter(&face);
        option.state = resting | extra;
        button->style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, button);
        painter.end();
        for (int y = faceInset; y < face.height() - faceInset; y += 3) {
            for (const int x : {faceInset, face.width() - 1 - faceInset}) grounds.push_back(face.pixelColor(x, y));
        }
    }
    return legible(colour(KitColour::accent, inheritedPalette(button)), grounds, graphicContrast);
}

void makeProminent(QPushButton* button) {
    // By name: without a meta-object of its own, findChild<Prominence*> would
    // take any child for one.
    if (button->findChild<QObject*>(QLatin1String(Prominence::name), Qt::FindDirectChildrenOnly)) return;
    new Prominence(button);
}

double faceContrast(const QPushButton* button, const QColor& fill, const QColor& text) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.rect = QRect(QPoint(0, 0), button->sizeHint().expandedTo(QSize(48, 24)));
    option.palette.setColor(QPalette::Button, fill);
    const QColor window = option.palette.color(QPalette::Window);
    QImage face(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
    const QRect measured = option.rect.adjusted(faceInset, faceInset, -faceInset, -faceInset);
    const QStyle::State resting = (option.state & ~(QStyle::State_Sunken | QStyle::State_MouseOver)) |
                                  QStyle::State_Enabled | QStyle::State_Raised;
    double least = std::numeric_limits<double>::infinity();
    for (const QStyle::StateFlag extra : {QStyle::State_None, QStyle::State_MouseOver, QStyle::State_Sunken}) {
        // A face the style leaves translucent shows the window behind it.
        face.fill(window);
        QPainter painter(&face);
        option.state = resting | extra;
        button->style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, button);
        painter.end();
        for (int y = measured.top(); y <= measured.bottom(); y += 2) {
            for (int x = measured.left(); x <= measured.right(); x += 4) {
                least = std::min(least, contrastRatio(text, face.pixelColor(x, y)));
            }
        }
    }
    return least;
}

}  // namespace glidra::kit
