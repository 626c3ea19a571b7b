#include "notices/HUDNoticeGate.h"

namespace glidra {

bool HUDNoticeGate::admit(const HUDNotice& notice, double now) {
    if (notice.kind != HUDNotice::Kind::success && previous && *previous == notice) {
        const double window = notice.kind == HUDNotice::Kind::error ? errorWindow : informationWindow;
        if (now - lastShown < window) return false;
    }
    previous = notice;
    lastShown = now;
    return true;
}

void HUDNoticeGate::reset() { *this = HUDNoticeGate{}; }

}  // namespace glidra
