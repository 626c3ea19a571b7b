#include "views/kit/ScrollingBody.h"

#include <QLayout>

#include <algorithm>

namespace glidra::kit {

namespace {

// Lines of text a shrunk body still shows.
constexpr int shownLines = 4;

}  // namespace

ScrollingBody::ScrollingBody(QWidget* body, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setFocusPolicy(Qt::NoFocus);
    setWidget(body);
}

QSize ScrollingBody::sizeHint() const {
    const QWidget* body = widget();
    if (!body) return QScrollArea::sizeHint();
    const QSize wanted = body->sizeHint().expandedTo(body->minimumSizeHint());
    if (!body->hasHeightForWidth()) return wanted;
    return {wanted.width(), body->heightForWidth(wanted.width())};
}

QSize ScrollingBody::minimumSizeHint() const {
    const int line = fontMetrics().lineSpacing();
    return QSize(shownLines * 2 * line, shownLines * line).boundedTo(sizeHint());
}

bool ScrollingBody::hasHeightForWidth() const { return widget() && widget()->hasHeightForWidth(); }

int ScrollingBody::heightForWidth(int width) const {
    const QWidget* body = widget();
    if (!body) return QScrollArea::heightForWidth(width);
    return std::max(body->heightForWidth(width), body->minimumSizeHint().height());
}

}  // namespace glidra::kit
