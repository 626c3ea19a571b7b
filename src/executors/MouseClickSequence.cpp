#include "executors/MouseClickSequence.h"

#include <cmath>

namespace glidra {

MouseClickSequence::Step MouseClickSequence::next(const Click& click) const {
    // Nothing to measure against: a lone click that starts no sequence.
    if (!std::isfinite(click.now) || !std::isfinite(click.doubleClickInterval) || !(click.doubleClickInterval > 0) ||
        !std::isfinite(click.pointer.x()) || !std::isfinite(click.pointer.y())) {
        return Step{1, MouseClickSequence()};
    }
    const double distance = std::hypot(click.pointer.x() - anchor.x(), click.pointer.y() - anchor.y());
    const bool sameFrontApplication =
        click.frontProcess ? !hasNoFrontApplication && processIdentifier == *click.frontProcess : hasNoFrontApplication;
    const double elapsed = click.now - time;
    const bool continues = action && *action == click.action && flags == click.flags && sameFrontApplication &&
                           elapsed >= 0 && elapsed <= click.doubleClickInterval && distance <= kMaximumDistance;

    MouseClickSequence record;
    record.action = click.action;
    record.anchor = continues ? anchor : click.pointer;
    record.time = click.now;
    record.flags = click.flags;
    record.processIdentifier = click.frontProcess.value_or(0);
    record.hasNoFrontApplication = !click.frontProcess;
    record.clickCount = continues ? clickCount + 1 : 1;
    return Step{record.clickCount, record};
}

}  // namespace glidra
