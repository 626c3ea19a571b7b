#include "views/kit/ProminentButton.h"

#include "views/kit/InheritedPalette.h"
#include "views/kit/KitColour.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPalette>
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

class Prominence final : public QObject {
public:
    explicit Prominence(QPushButton* button) : QObject(button), button_(button) {
        apply();
        button->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::PaletteChange:
            case QEvent::StyleChange:
            case QEvent::ParentChange:
                apply();
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
    bool applying_ = false;
};

}  // namespace

void makeProminent(QPushButton* button) {
    if (button->findChild<Prominence*>(QString(), Qt::FindDirectChildrenOnly)) return;
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
