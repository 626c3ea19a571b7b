#pragma once

#include "actions/GestureAction.h"
#include "views/kit/KitColour.h"

#include <QWidget>

class QPainter;

namespace glidra {

// An action's square tile: its symbol in white on its category's colour.
// The library rows draw it at 23, the configuration panel's header at 32.
// Decorative: the title beside it carries the meaning.
class GestureActionIcon : public QWidget {
    Q_OBJECT
public:
    GestureActionIcon(GestureAction action, double size, QWidget* parent = nullptr);

    void setAction(GestureAction action);
    GestureAction action() const { return action_; }

    QSize sizeHint() const override;

    // The colour of the first category whose list holds the action; the
    // accent colour for none, which no category lists.
    static kit::KitColour tint(GestureAction action);

    // Paints the tile into a square of side `size` at `topLeft`.
    static void paint(QPainter& painter, const QPointF& topLeft, double size, GestureAction action,
                      const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GestureAction action_;
    double size_;
};

}  // namespace glidra
