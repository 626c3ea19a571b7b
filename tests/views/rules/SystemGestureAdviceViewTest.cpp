#include "views/kit/PlainButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/rules/RulesViewFixture.h"
#include "views/rules/SystemGestureAdviceView.h"

#include <QVBoxLayout>

namespace glidra::test {
namespace {

using Kind = GestureDescriptor::Kind;

class SystemGestureAdviceViewTest : public RulesViewTest {
protected:
    QWidget editor;
    QVBoxLayout* layout = new QVBoxLayout(&editor);

    SystemGestureAdviceView* add(const GestureRule& edited) {
        auto* view = new SystemGestureAdviceView(edited, ui.desktop);
        layout->addWidget(view);
        editor.resize(520, 400);
        editor.show();
        return view;
    }
    static std::vector<QWidget*> shown(const QWidget* view, const QString& prefix) {
        std::vector<QWidget*> found;
        for (auto* widget : view->findChildren<QWidget*>()) {
            if (widget->objectName().startsWith(prefix) && widget->isVisible()) found.push_back(widget);
        }
        return found;
    }
};

TEST_F(SystemGestureAdviceViewTest, ARuleWithoutRisksShowsNothing) {
    const GestureRule calm = rule(GestureAction::showDesktop, {Kind::longPress, 3});
    ASSERT_TRUE(SystemGestureAdvice::advice(calm, ui.desktop.gestureDesktop()).empty());
    auto* view = add(calm);
    EXPECT_TRUE(view->isHidden());

    // The view follows the rule into and out of advice.
    view->setRule(rule(GestureAction::showDesktop, {Kind::tap, 3}));
    EXPECT_TRUE(view->isVisible());
    view->setRule(calm);
    EXPECT_TRUE(view->isHidden());
}

TEST_F(SystemGestureAdviceViewTest, ListsRisksAndShowsResolutionsOnRequest) {
    GestureRule edited = rule(GestureAction::closeWindow, {Kind::tap, 1});
    const auto advice = SystemGestureAdvice::advice(edited, ui.desktop.gestureDesktop());
    ASSERT_EQ(advice.size(), 2u);
    auto* view = add(edited);

    const auto risks = shown(view, QStringLiteral("risk:"));
    ASSERT_EQ(risks.size(), 2u);
    for (size_t i = 0; i < risks.size(); ++i) {
        auto* risk = static_cast<kit::SymbolLabel*>(risks[i]);
        EXPECT_EQ(risk->text(), advice[i].risk);
        EXPECT_EQ(risk->symbol(), QStringLiteral("exclamationmark.triangle"));
        EXPECT_TRUE(risk->label()->textInteractionFlags() & Qt::TextSelectableByMouse);
    }
    auto* toggle = child<kit::PlainButton>(view, QStringLiteral("toggleResolution"));
    EXPECT_EQ(toggle->text(), QStringLiteral("查看处理方法"));
    EXPECT_EQ(toggle->accessibleDescription(), QStringLiteral("已收起"));
    EXPECT_TRUE(shown(view, QStringLiteral("resolution:")).empty());

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(toggle->text(), QStringLiteral("收起处理方法"));
    EXPECT_EQ(toggle->accessibleDescription(), QStringLiteral("已展开"));
    const auto resolutions = shown(view, QStringLiteral("resolution:"));
    ASSERT_EQ(resolutions.size(), 2u);
    EXPECT_EQ(static_cast<QLabel*>(resolutions[0])->text(), advice[0].resolution);
    EXPECT_EQ(static_cast<QLabel*>(resolutions[1])->text(), advice[1].resolution);
    auto* disclaimer = child<QLabel>(view, QStringLiteral("disclaimer"));
    EXPECT_EQ(disclaimer->text(), QStringLiteral("Glidra 不会读取或更改系统手势开关。"));
    EXPECT_TRUE(disclaimer->isVisible());
    view->resize(520, view->heightForWidth(520) > 0 ? view->heightForWidth(520) : view->sizeHint().height());
    review(*view, QStringLiteral("system-gesture-advice-expanded"));

    // An edit that leaves the advice as it was keeps it open...
    edited.region = GestureRegion::top;
    view->setRule(edited);
    EXPECT_TRUE(view->showsResolution());
    // ...one that changes it (another action in the warning) collapses it.
    edited.action = GestureAction::sleepComputer;
    view->setRule(edited);
    EXPECT_FALSE(view->showsResolution());
    EXPECT_EQ(toggle->text(), QStringLiteral("查看处理方法"));
    EXPECT_TRUE(shown(view, QStringLiteral("resolution:")).empty());
}

TEST_F(SystemGestureAdviceViewTest, OnGnomeTheSwipeAdviceCarriesTheSwitchThatTheExtensionObeys) {
    using Companion = DesktopIntegration::Companion;
    ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, false);
    const GestureRule swipe = rule(GestureAction::missionControl, {Kind::swipe, 3});
    auto* view = add(swipe);
    view->setShowsResolution(true);
    ASSERT_EQ(shown(view, QStringLiteral("resolution:")).size(), 1u);
    auto* toggle = child<kit::SwitchRow>(view, QStringLiteral("systemSwipesOff"));
    auto* note = child<QLabel>(view, QStringLiteral("systemSwipesOffNote"));
    EXPECT_EQ(toggle->text(), QStringLiteral("Glidra 运行时关闭 GNOME 三指滑动"));
    EXPECT_FALSE(toggle->isChecked());
    // Without the extension the choice could not take effect.
    EXPECT_FALSE(toggle->isEnabled());
    EXPECT_EQ(note->text(), QStringLiteral("需要先启用 Glidra 的 GNOME Shell 扩展：见通用设置中的“桌面扩展”。"));
    EXPECT_EQ(child<QLabel>(view, QStringLiteral("disclaimer"))->text(),
              QStringLiteral("除上方开关外，Glidra 不会读取或更改系统手势设置。"));

    // The extension comes up while the editor is open.
    ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, true);
    EXPECT_TRUE(toggle->isEnabled());
    EXPECT_EQ(note->text(), QStringLiteral("Glidra 退出时，GNOME 的三指滑动自动恢复。"));
    QTest::mouseClick(toggle->switchControl(), Qt::LeftButton);
    EXPECT_TRUE(ui.desktop.systemSwipesOff());
    EXPECT_TRUE(toggle->isChecked());

    // Once on, it can be turned off again even while the extension is gone.
    ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, false);
    EXPECT_TRUE(toggle->isEnabled());
    QTest::mouseClick(toggle->switchControl(), Qt::LeftButton);
    EXPECT_FALSE(ui.desktop.systemSwipesOff());
}

TEST_F(SystemGestureAdviceViewTest, OtherDesktopsAndOtherGesturesHaveNoSwitch) {
    using Companion = DesktopIntegration::Companion;
    struct Case {
        SystemGestureDesktop desktop;
        GestureDescriptor gesture;
    };
    const Case cases[] = {
        {SystemGestureDesktop::plasmaWayland, {Kind::swipe, 4}},
        {SystemGestureDesktop::unknown, {Kind::swipe, 3}},
        // Advice on GNOME that is not about its swipes.
        {SystemGestureDesktop::gnome, {Kind::tap, 3}},
    };
    for (const Case& c : cases) {
        ui.desktop.setDesktop(c.desktop, Companion::kwinScript, true);
        auto* view = add(rule(GestureAction::missionControl, c.gesture));
        view->setShowsResolution(true);
        EXPECT_EQ(view->findChild<kit::SwitchRow*>(QStringLiteral("systemSwipesOff")), nullptr) << int(c.desktop);
        EXPECT_EQ(child<QLabel>(view, QStringLiteral("disclaimer"))->text(),
                  QStringLiteral("Glidra 不会读取或更改系统手势开关。"));
        delete view;
    }
}

}  // namespace
}  // namespace glidra::test
