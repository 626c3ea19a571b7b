#pragma once

// The rule views on the sim platform: a controller and settings from the
// controller harness, a workspace with installed applications, and helpers
// to build rules and pictures.

#include "app/UiContext.h"
#include "gestures/GestureRule.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimWorkspace.h"
#include "support/ControllerHarness.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

namespace glidra {

inline void PrintTo(const NormalizedRegionRect& r, std::ostream* out) {
    *out << '{' << r.minX << ", " << r.minY << ", " << r.maxX << ", " << r.maxY << '}';
}

}  // namespace glidra

namespace glidra::test {

class RulesViewTest : public ::testing::Test {
protected:
    UiHarness ui;
    ControllerHarness& core = ui.h;
    sim::SimWorkspace& workspace = ui.workspace;
    sim::SimLoginItems& loginItems = ui.loginItems;
    UiContext& context = ui.context;
    ScopedPalette palette{lightPalette()};

    TrackpadController& controller() { return *core.controller; }
    // Every gesture-state reset drops the video scrubber's state.
    int resets() const { return core.log.count(QStringLiteral("videoScrubber.reset")); }

    // Runs deferred deletions, such as a closed sheet's, and pending layouts.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // A picture of the view as laid out, for a person to look at.
    static void review(QWidget& view, const QString& name) {
        settle();
        saveForReview(pictureOf(view), name);
    }
};

inline GestureRule rule(GestureAction action, GestureDescriptor gesture = {}) {
    GestureRule made;
    made.gesture = gesture;
    made.action = action;
    return made;
}

inline GestureRule inRegion(GestureRule made, GestureRegion region) {
    made.region = region;
    return made;
}

inline GestureRule inCustom(GestureRule made, std::vector<NormalizedRegionRect> rects) {
    made.region = GestureRegion::custom;
    if (rects.size() == 1) {
        made.customRegion = rects.front();
    } else {
        made.customRegions = std::move(rects);
    }
    return made;
}

inline GestureRule forApplication(GestureRule made, const QString& bundleID) {
    made.appBundleID = bundleID;
    return made;
}

// Presses, moves and releases the left button at exact positions, which
// QTest's whole-pixel points cannot give.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF position) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void drag(QWidget* widget, const std::vector<QPointF>& path) {
    sendMouse(widget, QEvent::MouseButtonPress, path.front());
    for (size_t i = 1; i < path.size(); ++i) sendMouse(widget, QEvent::MouseMove, path[i]);
    sendMouse(widget, QEvent::MouseButtonRelease, path.back());
}

template <typename T>
T* child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

}  // namespace glidra::test
