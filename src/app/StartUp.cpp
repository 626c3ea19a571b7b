#include "app/StartUp.h"

#include "app/UpdateController.h"
#include "trackpad/TrackpadController.h"

namespace glidra {

void startUp(const SharedObjects& objects) {
    objects.updateController().start();
    if (objects.applicationHistory) objects.applicationHistory();
    objects.trackpadController().restoreIfNeeded();
}

}  // namespace glidra
