#pragma once

// The gestures page and its rule editor on the sim platform, opened as the
// user opens them, with frames played through the sim multitouch framework.

#include "views/rules/FreeformRulesView.h"
#include "views/rules/GestureRuleEditor.h"
#include "views/rules/RulesViewFixture.h"

#include "platform/MultitouchFramework.h"
#include "settings/ControlSettings.h"
#include "support/FrameBuilder.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/StyledLabel.h"

#include <QComboBox>
#include <QPushButton>

namespace glidra::test {

class RulePageTest : public RulesViewTest {
protected:
    ControlSettings& settings() { return core.settings; }

    FreeformRulesView& page() {
        if (!page_) {
            page_ = std::make_unique<FreeformRulesView>(context);
            page_->resize(700, 600);
            page_->show();
            settle();
        }
        return *page_;
    }
    GestureRuleEditor& open(const GestureRule& made) {
        page().editRule(made);
        settle();
        return *page().editor();
    }
    GestureRuleEditor& add() {
        click(&page(), QStringLiteral("addRule"));
        return *page().editor();
    }

    void click(QObject* parent, const QString& name) {
        auto* button = child<QAbstractButton>(parent, name);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        settle();
    }
    static QString text(QObject* parent, const QString& name) {
        auto* label = parent ? parent->findChild<QLabel*>(name) : nullptr;
        return label && !label->isHidden() ? label->text() : QString();
    }
    static QPushButton* primary(GestureRuleEditor& editor) {
        return editor.findChild<QPushButton*>(QStringLiteral("primary"));
    }
    // Picks the option showing `shown` in a picker, as the user does.
    void pick(QObject* parent, const QString& picker, const QString& shown) {
        auto* combo = child<QComboBox>(parent, picker);
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(shown);
        ASSERT_GE(index, 0) << shown.toStdString();
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        settle();
    }

    // Three fingers side by side sliding a quarter of the pad to the left.
    void swipeLeftWithThreeFingers(MultitouchDevice device) {
        const double t = core.time.clock.uptime() + 1;
        FrameBuilder swipe;
        for (int i = 0; i < 3; ++i) swipe.touch(i + 1, 0.6f + 0.05f * float(i), 0.5f);
        swipe.at(t);
        for (int i = 0; i < 3; ++i) swipe.moveBy(i + 1, -0.25f, 0);
        swipe.over(t + 0.2, 10).up(t + 0.22);
        for (const Frame& frame : swipe.build()) {
            core.time.advanceTo(frame.time);
            std::vector<DriverTouch> touches;
            for (const TouchPoint& point : frame.points) {
                touches.push_back(DriverTouch{point.id, 4, point.x, point.y, point.pressure});
            }
            ui.framework.deliver(device, touches, frame.time);
            SimTime::drain();
        }
        core.time.advanceBy(1);
        settle();
    }

    void expectFlagsDown() {
        EXPECT_FALSE(controller().isLearningGesture());
        EXPECT_FALSE(controller().isSettingUpGesture());
        EXPECT_FALSE(controller().isRecordingShortcut());
    }

    std::unique_ptr<FreeformRulesView> page_;
};

}  // namespace glidra::test
