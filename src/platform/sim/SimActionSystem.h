#pragma once

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimAccessibilityKeyboardSettings.h"
#include "platform/sim/SimAudioDevices.h"
#include "platform/sim/SimBrowserPageSource.h"
#include "platform/sim/SimDesktopPreferences.h"
#include "platform/sim/SimDesktopViews.h"
#include "platform/sim/SimEventPoster.h"
#include "platform/sim/SimEventTap.h"
#include "platform/sim/SimFileBookmarks.h"
#include "platform/sim/SimInteractiveScreenshot.h"
#include "platform/sim/SimKeyboardBacklight.h"
#include "platform/sim/SimPasteboard.h"
#include "platform/sim/SimPowerAssertions.h"
#include "platform/sim/SimProcessRunner.h"
#include "platform/sim/SimScreenCovers.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimSystemEvents.h"
#include "platform/sim/SimSystemPower.h"
#include "platform/sim/SimTextSelectionAccess.h"
#include "platform/sim/SimTranslationPresenter.h"
#include "platform/sim/SimWindowControl.h"
#include "platform/sim/SimWorkspace.h"

namespace glidra::sim {

// Everything the action executors act on, simulated: posted events pass
// through the event taps as the system sends them, so the executors' own
// taps see them.
struct SimActionSystem {
    SimEventPoster poster;
    SimEventTap taps;
    SimDesktopViews desktopViews;
    SimSystemEvents systemEvents;
    SimAudioDevices audio;
    SimPowerAssertions power;
    SimKeyboardBacklight keyboardBacklight;
    SimDesktopPreferences desktopPreferences;
    SimScreenCovers screenCovers;
    SimPasteboard pasteboard;
    SimInteractiveScreenshot screenshots{pasteboard};
    SimBrowserPageSource browserPages;
    SimTextSelectionAccess textSelection;
    SimTranslationPresenter translation;
    SimWorkspace workspace;
    // The interface tree keeps time of its own: it is built before the clock
    // of whoever drives the system.
    ManualClock elementClock;
    SimAccessibility accessibility{elementClock};
    SimAccessibilityKeyboardSettings keyboardSettings{
        workspace, accessibility, {300, QStringLiteral("org.gnome.Settings.desktop"), QStringLiteral("设置")}};
    SimWindowControl windows;
    SimScreens screens;
    SimSystemPower systemPower;
    SimFileBookmarks bookmarks;
    SimProcessRunner processes;

    SimActionSystem() { poster.routeThrough(&taps); }
};

}  // namespace glidra::sim
