// Switching control on and off, and starting and stopping the bridge: the
// only code that starts listening.

#include "trackpad/TrackpadController.h"

#include "bridge/MultitouchBridge.h"
#include "common/Localized.h"
#include "platform/FrontmostApplication.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadClickMonitor.h"
#include "trackpad/TypingActivityMonitor.h"

namespace glidra {

void TrackpadController::toggleEnabled() {
    if (!isEnabled_) {
        setEnabled(true);
        typingMonitor().start();
        listenerRecovery().start();
        startListening();
    } else {
        environment_.executors.stopKeyboardLock();
        setEnabled(false);
        setConnectionState(TrackpadConnectionState::paused);
        typingMonitor().stop();
        listenerRecovery().stop();
        stopListening();
        setStatus(localized(GLIDRA_TEXT("已暂停")));
    }
    settings_.setRestoreEnabled(isEnabled_);
}

void TrackpadController::reconnect() {
    if (isEnabled_) {
        listenerRecovery().manualReconnect();
        startListening();
    } else {
        toggleEnabled();
    }
    // A connection made now reaches us later through the recovery's device
    // observation, so the outcome is not awaited.
    if (!isListening_) pairedTrackpadConnector().connect();
}

void TrackpadController::restoreIfNeeded() {
    if (hasRestored_) return;
    hasRestored_ = true;
    Q_EMIT hasRestoredChanged();
    // Only ever switches on: a toggle while control is already on (the rule
    // editor got there first) would switch it off.
    if (settings_.restoreEnabled() && !isEnabled_) toggleEnabled();
}

void TrackpadController::startListening() {
    if (!isEnabled_) return;
    setConnectionState(TrackpadConnectionState::reconnecting);
    // Always a clean restart: the generation advances, so frames of the last
    // period are dropped.
    stopListening();
    setListening(glidraMTStart(&TrackpadController::contactFrameCallbackThunk, generation_));
    setCurrentApplicationID(environment_.frontmostApplication.bundleIdentifier());
    if (isListening_) clickMonitor().start();
    // Accessibility granted since the last start takes effect here.
    typingMonitor().installGlobalMonitor();
    setStatus(isListening_ ? localized(GLIDRA_TEXT("触控板已连接"))
                           : localized(GLIDRA_TEXT("等待触控板连接，将自动重试；也可手动重新连接。")));
    listenerRecovery().reportListening(isListening_);
}

void TrackpadController::stopListening() {
    environment_.executors.cancelWindowScreenshot();
    screenshotLiveContacts_.clear();
    screenshotSuppressedContacts_.clear();
    advanceGeneration();
    hud_->hide();
    clickMonitor().stop();
    // The last typing time stays: a restart right after typing is still
    // protected.
    typingMonitor().clearBlockedDevices();
    glidraMTStop();
    setListening(false);
    environment_.executors.endApplicationSwitcher(true);
    resetGestureState();
}

}  // namespace glidra
