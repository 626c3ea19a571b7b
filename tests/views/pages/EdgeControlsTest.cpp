#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/ActionParameterEditor.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/actions/ShortcutRecorderField.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"
#include "views/pages/EdgeControlRow.h"
#include "views/pages/GestureBindingRow.h"
#include "views/pages/GestureBindingsView.h"
#include "views/pages/SlideDistancePicker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace glidra {
namespace {

using A = GestureAction;
using T = GestureTrigger;

class EdgeControlsTest : public ::testing::Test {
protected:
    test::UiHarness ui;
    ControlSettings& settings = ui.context.settings;
    sim::SimUserDefaults& defaults = ui.h.defaults;
    std::unique_ptr<GestureBindingsView> page;
    quint64 epochBefore = 0;

    void open() {
        page = std::make_unique<GestureBindingsView>(ui.context);
        page->resize(700, 1400);
        page->show();
        QApplication::setActiveWindow(page.get());
        epochBefore = ui.controller.actionEpoch();
        defaults.clearLog();
    }
    void TearDown() override {
        page.reset();
        test::UiHarness::flushDeletes();
    }

    int resets() const { return int(ui.controller.actionEpoch() - epochBefore); }

    EdgeControlRow* row(EdgeLocation edge) const {
        return page->findChild<EdgeControlRow*>(QStringLiteral("edgeRow:") + enumRaw(edge));
    }
    GestureBindingRow* bindingRow(T trigger) const {
        return page->findChild<GestureBindingRow*>(QStringLiteral("bindingRow:") + enumRaw(trigger));
    }
    // A part of a row that is shown now (retired parts are hidden and gone
    // from the row).
    template <typename W>
    W* shown(QWidget* in, const QString& name) const {
        for (auto* found : in->findChildren<W*>(name)) {
            if (found->isVisibleTo(in)) return found;
        }
        return nullptr;
    }
    QComboBox* modeMenu(EdgeLocation edge) const { return shown<QComboBox>(row(edge), QStringLiteral("mergedMode")); }

    // As the user picks an item.
    static void choose(QComboBox* menu, const QString& text) {
        const int index = menu->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        menu->setCurrentIndex(index);
        Q_EMIT menu->activated(index);
    }
    void setSplit(EdgeLocation edge, bool split) {
        auto* control = row(edge)->splitControl();
        QTest::mouseClick(control, Qt::LeftButton, {}, control->segmentRect(split ? 1 : 0).center());
        test::UiHarness::flushDeletes();
    }
    GestureBinding stored(T trigger) const {
        return *std::ranges::find(settings.bindings(), trigger, &GestureBinding::trigger);
    }
    static void commit(SlideDistancePicker* picker, const QString& text) {
        picker->field()->setFocus();
        picker->field()->setText(text);
        QTest::keyClick(picker->field(), Qt::Key_Return);
    }
};

TEST_F(EdgeControlsTest, ShowsTheDefaultModesAndWritesNothingOnDisplay) {
    settings.setEdgeWidth(0.35);
    auto bindings = settings.bindings();
    std::ranges::find(bindings, T::topLeft, &GestureBinding::trigger)->slideDistance = SlideDistance{150};
    settings.setBindings(bindings);
    open();

    const std::pair<EdgeLocation, const char16_t*> modes[] = {
        {EdgeLocation::left, u"亮度"},
        {EdgeLocation::right, u"音量"},
        {EdgeLocation::top, u"切换歌曲"},
        {EdgeLocation::bottom, u"切换标签页"},
    };
    for (const auto& [edge, mode] : modes) {
        SCOPED_TRACE(enumRaw(edge).toStdString());
        EXPECT_EQ(row(edge)->splitControl()->currentIndex(), 0) << "merged";
        ASSERT_NE(modeMenu(edge), nullptr);
        EXPECT_EQ(modeMenu(edge)->currentText(), QString::fromUtf16(mode));
        EXPECT_EQ(modeMenu(edge)->accessibleName(), title(edge) + QStringLiteral("的功能"));
        EXPECT_EQ(row(edge)->splitControl()->accessibleName(), title(edge) + QStringLiteral("的设置方式"));
    }
    EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("edgeWidthValue"))->text(), QStringLiteral("35%"));
    EXPECT_EQ(page->findChild<QSlider*>(QStringLiteral("edgeWidth"))->value(), 30);
    auto* topDistance = shown<SlideDistancePicker>(row(EdgeLocation::top), QStringLiteral("slideDistance"));
    ASSERT_NE(topDistance, nullptr);
    EXPECT_EQ(topDistance->field()->text(), QStringLiteral("150"));
    EXPECT_EQ(topDistance->slider()->value(), 100);

    EXPECT_EQ(resets(), 0);
    EXPECT_EQ(defaults.writtenKeys(), QStringList());
    EXPECT_DOUBLE_EQ(settings.edgeWidth(), 0.35);
    EXPECT_EQ(stored(T::topLeft).slideDistance, SlideDistance{150});

    test::saveForReview(test::pictureOf(*page), QStringLiteral("edges-merged"));
}

TEST_F(EdgeControlsTest, EachMergedModeWritesItsActionsAndShowsItsControls) {
    open();
    struct Case {
        EdgeControlMode mode;
        A first;
        A second;
        bool distance;
    };
    const Case cases[] = {
        {EdgeControlMode::brightness, A::brightnessDown, A::brightnessUp, false},
        {EdgeControlMode::keyboardBrightness, A::keyboardBrightnessDown, A::keyboardBrightnessUp, false},
        {EdgeControlMode::volume, A::volumeDown, A::volumeUp, false},
        {EdgeControlMode::video, A::scrubVideo, A::scrubVideo, false},
        {EdgeControlMode::music, A::previousTrack, A::nextTrack, true},
        {EdgeControlMode::tabs, A::previousTab, A::nextTab, true},
        {EdgeControlMode::application, A::openApplication, A::openApplication, true},
        {EdgeControlMode::disabled, A::none, A::none, false},
    };
    ASSERT_EQ(modeMenu(EdgeLocation::left)->count(), int(std::size(cases))) << "every mode but custom";
    // From brightness, so the first case is a change too.
    choose(modeMenu(EdgeLocation::left), title(EdgeControlMode::disabled));
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.mode).toStdString());
        const int before = resets();
        choose(modeMenu(EdgeLocation::left), title(c.mode));
        test::UiHarness::flushDeletes();
        EXPECT_EQ(stored(T::leftDown).action, c.first);
        EXPECT_EQ(stored(T::leftUp).action, c.second);
        EXPECT_EQ(settings.edgeConfiguration(EdgeLocation::left).mergedMode, c.mode);
        EXPECT_EQ(modeMenu(EdgeLocation::left)->currentText(), title(c.mode));
        EXPECT_EQ(shown<SlideDistancePicker>(row(EdgeLocation::left), QStringLiteral("slideDistance")) != nullptr,
                  c.distance);
        EXPECT_EQ(
            shown<ApplicationTargetPicker>(row(EdgeLocation::left), QStringLiteral("applicationTarget")) != nullptr,
            c.mode == EdgeControlMode::application);
        EXPECT_EQ(resets() - before, 1) << "the page resets the gesture state once per change";
    }
    // Other edges untouched.
    EXPECT_EQ(stored(T::rightUp).action, A::volumeUp);
}

TEST_F(EdgeControlsTest, MergedValuesGoToBothBindingsOfTheEdgeOnly) {
    open();
    auto* distance = shown<SlideDistancePicker>(row(EdgeLocation::top), QStringLiteral("slideDistance"));
    ASSERT_NE(distance, nullptr);
    EXPECT_EQ(distance->field()->text(), QStringLiteral("12"));
    commit(distance, QStringLiteral("20"));
    for (const auto& binding : settings.bindings()) {
        const bool top = binding.trigger == T::topLeft || binding.trigger == T::topRight;
        EXPECT_EQ(binding.slideDistance, top ? std::optional(SlideDistance{20}) : std::nullopt)
            << enumRaw(binding.trigger).toStdString();
    }
    EXPECT_EQ(distance->field()->text(), QStringLiteral("20"));

    const ApplicationTarget editor{QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop"),
                                   QStringLiteral("org.gnome.TextEditor"), QStringLiteral("文本编辑器")};
    choose(modeMenu(EdgeLocation::bottom), title(EdgeControlMode::application));
    // A part added to a shown row appears once the queued show has run.
    QCoreApplication::processEvents();
    row(EdgeLocation::bottom)->setMergedApplicationTarget(editor);
    EXPECT_EQ(stored(T::bottomLeft).applicationTarget, editor);
    EXPECT_EQ(stored(T::bottomRight).applicationTarget, editor);
    EXPECT_EQ(stored(T::topLeft).applicationTarget, std::nullopt);
    EXPECT_EQ(row(EdgeLocation::bottom)->mergedApplicationTarget(), editor);
    auto* picker = shown<ApplicationTargetPicker>(row(EdgeLocation::bottom), QStringLiteral("applicationTarget"));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->selection(), editor);
    row(EdgeLocation::bottom)->setMergedApplicationTarget(std::nullopt);
    EXPECT_EQ(stored(T::bottomLeft).applicationTarget, std::nullopt);
    EXPECT_EQ(stored(T::bottomRight).applicationTarget, std::nullopt);
}

TEST_F(EdgeControlsTest, SplitEditMergeSplitBringsTheEditBack) {
    open();
    setSplit(EdgeLocation::left, true);
    ASSERT_NE(bindingRow(T::leftUp), nullptr);
    // Rows follow the list's order, which puts leftUp first.
    const auto rows = row(EdgeLocation::left)->content()->findChildren<GestureBindingRow*>();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]->trigger(), T::leftUp);
    EXPECT_EQ(rows[0]->actionMenu()->accessibleName(), QStringLiteral("左边缘 ↑的动作"));
    EXPECT_EQ(rows[0]->actionMenu()->currentText(), title(A::brightnessUp));

    choose(bindingRow(T::leftUp)->actionMenu(), title(A::nextTab));
    test::UiHarness::flushDeletes();
    EXPECT_EQ(stored(T::leftUp).action, A::nextTab);
    test::saveForReview(test::pictureOf(*page), QStringLiteral("edges-split"));

    setSplit(EdgeLocation::left, false);
    EXPECT_EQ(stored(T::leftUp).action, A::brightnessUp);
    EXPECT_EQ(bindingRow(T::leftUp), nullptr);
    setSplit(EdgeLocation::left, true);
    EXPECT_EQ(stored(T::leftUp).action, A::nextTab);
    ASSERT_NE(bindingRow(T::leftUp), nullptr);
    EXPECT_EQ(bindingRow(T::leftUp)->actionMenu()->currentText(), title(A::nextTab));
}

TEST_F(EdgeControlsTest, TheActionMenuListsOffAndEveryCategory) {
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    open();
    setSplit(EdgeLocation::left, true);
    ASSERT_NE(bindingRow(T::leftUp), nullptr);
    QComboBox* menu = bindingRow(T::leftUp)->actionMenu();
    int headers = 0;
    int actions = 0;
    for (int i = 0; i < menu->count(); ++i) {
        if (menu->itemData(i).isValid()) {
            ++actions;
        } else {
            ++headers;
            EXPECT_FALSE(menu->model()->flags(menu->model()->index(i, 0)) & Qt::ItemIsSelectable);
        }
    }
    EXPECT_EQ(menu->itemText(0), QStringLiteral("关闭"));
    EXPECT_EQ(menu->itemText(1), QStringLiteral("鼠标操作"));
    EXPECT_EQ(headers, 9);
    EXPECT_EQ(actions, 105) << "off and the 104 actions";

    // What cannot work here is marked, explained and cannot be chosen.
    const int shortcuts = menu->findData(enumRaw(A::runShortcut));
    EXPECT_EQ(menu->itemText(shortcuts), QStringLiteral("运行快捷指令（此桌面不可用）"));
    EXPECT_EQ(menu->itemData(shortcuts, Qt::ToolTipRole).toString(),
              QStringLiteral("此桌面不支持这个动作：没有快捷指令应用。"));
    EXPECT_FALSE(menu->model()->flags(menu->model()->index(shortcuts, 0)) & Qt::ItemIsEnabled);
    const int copy = menu->findData(enumRaw(A::copy));
    EXPECT_EQ(menu->itemText(copy), title(A::copy));
    EXPECT_TRUE(menu->model()->flags(menu->model()->index(copy, 0)) & Qt::ItemIsEnabled);
    qputenv("XDG_CURRENT_DESKTOP", desktop);
}

TEST_F(EdgeControlsTest, ABindingRowShowsWhatItsActionNeeds) {
    open();
    setSplit(EdgeLocation::right, true);
    struct Case {
        A action;
        bool distance;
        bool parameters;
        bool application;
        bool shortcut;
    };
    const Case cases[] = {
        {A::none, false, false, false, false},          {A::customShortcut, true, false, false, true},
        {A::openApplication, true, false, true, false}, {A::volumeUp, false, false, false, false},
        {A::scrubVideo, false, false, false, false},    {A::openURL, true, true, false, false},
        {A::copy, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(enumRaw(c.action).toStdString());
        auto* binding = bindingRow(T::rightUp);
        ASSERT_NE(binding, nullptr);
        choose(binding->actionMenu(), c.action == A::none ? QStringLiteral("关闭") : title(c.action));
        test::UiHarness::flushDeletes();
        EXPECT_EQ(stored(T::rightUp).action, c.action);
        auto* distance = shown<SlideDistancePicker>(binding, QStringLiteral("slideDistance"));
        EXPECT_EQ(distance != nullptr, c.distance);
        EXPECT_EQ(shown<ActionParameterEditor>(binding, QStringLiteral("parameters")) != nullptr, c.parameters);
        EXPECT_EQ(shown<ApplicationTargetPicker>(binding, QStringLiteral("applicationTarget")) != nullptr,
                  c.application);
        EXPECT_EQ(shown<ShortcutRecorder>(binding, QStringLiteral("shortcut")) != nullptr, c.shortcut);
        if (distance) {
            EXPECT_EQ(distance->field()->text(), QStringLiteral("12"));
            test::saveForReview(test::pictureOf(*binding), QStringLiteral("binding-row-") + enumRaw(c.action));
        }
    }
    // The distance is stored as present after the picker's first change; the
    // action alone changes nothing else.
    choose(bindingRow(T::rightUp)->actionMenu(), title(A::copy));
    EXPECT_EQ(stored(T::rightUp).slideDistance, std::nullopt);
    commit(shown<SlideDistancePicker>(bindingRow(T::rightUp), QStringLiteral("slideDistance")), QStringLiteral("30"));
    EXPECT_EQ(stored(T::rightUp).slideDistance, SlideDistance{30});
    EXPECT_EQ(stored(T::rightDown).slideDistance, std::nullopt);
    choose(bindingRow(T::rightUp)->actionMenu(), title(A::volumeUp));
    choose(bindingRow(T::rightUp)->actionMenu(), title(A::paste));
    EXPECT_EQ(stored(T::rightUp).slideDistance, SlideDistance{30});
}

TEST_F(EdgeControlsTest, ResetAsksAndOnlyConfirmingRestoresTheDefaults) {
    open();
    settings.setEdgeWidth(0.12);
    settings.setLocksPointerDuringEdgeAdjustments(true);
    setSplit(EdgeLocation::bottom, true);
    choose(bindingRow(T::bottomRight)->actionMenu(), title(A::customShortcut));
    auto bindings = settings.bindings();
    for (auto& binding : bindings) {
        binding.slideDistance = SlideDistance{40};
        binding.shortcut = KeyboardShortcut{0x00, 0x40000, QStringLiteral("⌃A"), std::nullopt};
    }
    settings.setBindings(bindings);
    const auto edited = settings.bindings();
    const auto configurations = settings.edgeConfigurations();

    auto* reset = page->findChild<QPushButton*>(QStringLiteral("resetToDefaults"));
    const auto answer = [&](const char* button) {
        QTest::mouseClick(reset, Qt::LeftButton);
        auto* box = page->resetConfirmation();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("恢复默认？"));
        EXPECT_EQ(box->informativeText(), QStringLiteral("边缘设置将恢复默认，自定义快捷键也会清除。"));
        QTest::mouseClick(box->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        test::UiHarness::flushDeletes();
        EXPECT_FALSE(page->isConfirmingReset());
    };

    const int beforeCancel = resets();
    answer("cancel");
    EXPECT_EQ(settings.bindings(), edited);
    EXPECT_EQ(settings.edgeConfigurations(), configurations);
    EXPECT_TRUE(settings.locksPointerDuringEdgeAdjustments());
    EXPECT_EQ(resets(), beforeCancel);

    answer("confirm");
    EXPECT_EQ(settings.bindings(), GestureBinding::defaultBindings());
    EXPECT_TRUE(settings.edgeConfigurations().empty());
    EXPECT_FALSE(settings.locksPointerDuringEdgeAdjustments());
    EXPECT_DOUBLE_EQ(settings.edgeWidth(), 0.12);
    EXPECT_FALSE(page->findChild<kit::SwitchRow*>(QStringLiteral("locksPointerDuringEdgeAdjustments"))->isChecked());
    const std::pair<EdgeLocation, EdgeControlMode> modes[] = {{EdgeLocation::left, EdgeControlMode::brightness},
                                                              {EdgeLocation::right, EdgeControlMode::volume},
                                                              {EdgeLocation::top, EdgeControlMode::music},
                                                              {EdgeLocation::bottom, EdgeControlMode::tabs}};
    for (const auto& [edge, mode] : modes) {
        EXPECT_EQ(row(edge)->splitControl()->currentIndex(), 0);
        ASSERT_NE(modeMenu(edge), nullptr);
        EXPECT_EQ(modeMenu(edge)->currentText(), title(mode));
    }
    EXPECT_EQ(bindingRow(T::bottomRight), nullptr);
}

TEST_F(EdgeControlsTest, WidthAndPointerLockWriteAndResetTheGestureState) {
    open();
    auto* slider = page->findChild<QSlider*>(QStringLiteral("edgeWidth"));
    auto* value = page->findChild<QLabel*>(QStringLiteral("edgeWidthValue"));
    EXPECT_EQ(value->text(), QStringLiteral("8%"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_DOUBLE_EQ(settings.edgeWidth(), 0.3);
    EXPECT_EQ(value->text(), QStringLiteral("30%"));
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_DOUBLE_EQ(settings.edgeWidth(), 0.02);
    EXPECT_EQ(value->text(), QStringLiteral("2%"));
    EXPECT_EQ(resets(), 2);

    auto* lock = page->findChild<kit::SwitchRow*>(QStringLiteral("locksPointerDuringEdgeAdjustments"));
    QTest::mouseClick(lock->switchControl(), Qt::LeftButton);
    EXPECT_TRUE(settings.locksPointerDuringEdgeAdjustments());
    EXPECT_EQ(resets(), 3);
}

TEST_F(EdgeControlsTest, ABindingsChangeResetsOnceWhileThePageIsShownAndNotAfterItClosed) {
    // A real change each time.
    const auto changed = [](ControlSettings& store) {
        auto bindings = store.bindings();
        bindings.back().action = bindings.back().action == A::playPause ? A::nextTrack : A::playPause;
        store.setBindings(bindings);
    };
    quint64 unobserved = 0;
    {
        test::UiHarness bare;
        const quint64 before = bare.controller.actionEpoch();
        changed(bare.h.settings);
        unobserved = bare.controller.actionEpoch() - before;
    }
    for (int visit = 0; visit < 3; ++visit) {
        open();
        page.reset();
    }
    test::UiHarness::flushDeletes();
    quint64 before = ui.controller.actionEpoch();
    changed(settings);
    EXPECT_EQ(ui.controller.actionEpoch() - before, unobserved) << "three closed pages";

    open();
    before = ui.controller.actionEpoch();
    changed(settings);
    EXPECT_EQ(ui.controller.actionEpoch() - before, unobserved + 1) << "the page shown";
}

TEST_F(EdgeControlsTest, ARowReplacedUnderItsOwnControlsDoesNotCrash) {
    // No stored configuration: the split is derived from the bindings, so a
    // choice that completes a preset merges the edge inside the menu's own
    // activation, and the row that holds the menu goes.
    auto bindings = settings.bindings();
    std::ranges::find(bindings, T::leftDown, &GestureBinding::trigger)->action = A::copy;
    settings.setBindings(bindings);
    open();
    ASSERT_EQ(row(EdgeLocation::left)->splitControl()->currentIndex(), 1);
    QPointer<GestureBindingRow> leftDown = bindingRow(T::leftDown);
    ASSERT_TRUE(leftDown);
    leftDown->actionMenu()->showPopup();
    choose(leftDown->actionMenu(), title(A::brightnessDown));
    EXPECT_EQ(row(EdgeLocation::left)->splitControl()->currentIndex(), 0);
    test::UiHarness::flushDeletes();
    EXPECT_FALSE(leftDown);
    ASSERT_NE(modeMenu(EdgeLocation::left), nullptr);

    // A slider mid-drag whose row an outside change (an import) replaces.
    setSplit(EdgeLocation::top, true);
    auto* distance = shown<SlideDistancePicker>(bindingRow(T::topLeft), QStringLiteral("slideDistance"));
    ASSERT_NE(distance, nullptr);
    QPointer<QSlider> slider = distance->slider();
    slider->setSliderDown(true);
    slider->setSliderPosition(30);
    EXPECT_EQ(stored(T::topLeft).slideDistance, SlideDistance{30});
    const int beforeImport = int(settings.bindings().size());
    settings.setEdgeSplit(false, EdgeLocation::top);
    slider->setSliderPosition(60);
    slider->setSliderDown(false);
    EXPECT_EQ(stored(T::topLeft).slideDistance, SlideDistance{30}) << "the retired slider writes nothing";
    test::UiHarness::flushDeletes();
    EXPECT_FALSE(slider);
    EXPECT_EQ(int(settings.bindings().size()), beforeImport);

    // The page itself going with an open menu.
    setSplit(EdgeLocation::right, true);
    bindingRow(T::rightUp)->actionMenu()->showPopup();
    page.reset();
    test::UiHarness::flushDeletes();
}

TEST_F(EdgeControlsTest, ARecordingRowThatGoesLowersTheRecordingFlag) {
    open();
    setSplit(EdgeLocation::right, true);
    const auto startRecording = [&] {
        choose(bindingRow(T::rightUp)->actionMenu(), title(A::customShortcut));
        test::UiHarness::flushDeletes();
        auto* recorder = shown<ShortcutRecorder>(bindingRow(T::rightUp), QStringLiteral("shortcut"));
        ASSERT_NE(recorder, nullptr);
        recorder->field()->startRecording();
        ASSERT_TRUE(ui.controller.isRecordingShortcut());
    };
    // The row's controls rebuilt for another action.
    startRecording();
    choose(bindingRow(T::rightUp)->actionMenu(), title(A::volumeUp));
    test::UiHarness::flushDeletes();
    EXPECT_FALSE(ui.controller.isRecordingShortcut());

    // The edge merged from outside, which takes the whole row away.
    startRecording();
    settings.setEdgeSplit(false, EdgeLocation::right);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(bindingRow(T::rightUp), nullptr);
    EXPECT_FALSE(ui.controller.isRecordingShortcut());

    // The page destroyed.
    setSplit(EdgeLocation::right, true);
    startRecording();
    page.reset();
    test::UiHarness::flushDeletes();
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
}

}  // namespace
}  // namespace glidra
