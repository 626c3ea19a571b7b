#include "views/pages/Divider.h"

#include <QFrame>

namespace glidra {

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

}  // namespace glidra
