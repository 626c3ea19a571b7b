#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/RecordedKeyEvent.h"
#include "views/actions/ShortcutManualEditor.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/actions/ShortcutRecorderField.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace glidra {
namespace {

struct RecorderTest : ::testing::Test {
    test::UiHarness ui;
    ShortcutRecorder recorder{ui.context};
    ShortcutRecorderField* field = recorder.field();
    QSignalSpy changes{&recorder, &ShortcutRecorder::shortcutChanged};

    RecorderTest() { recorder.show(); }

    void focusIn() {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(field, &in);
    }
    void press(int key, Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(field, &event);
    }
    std::optional<KeyboardShortcut> last() const {
        return changes.isEmpty() ? std::nullopt : changes.last().at(0).value<std::optional<KeyboardShortcut>>();
    }
};

TEST_F(RecorderTest, KeyEventsBecomeShortcuts) {
    struct Case {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<KeyboardShortcut> expected;  // nothing: the old shortcut stays
        bool stillRecording;
    };
    const Case cases[] = {
        {"Meta+Shift+K", Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier,
         KeyboardShortcut{40, 0x120000, QStringLiteral("⇧⌘K"), std::nullopt}, false},
        {"Ctrl+Alt+Left", Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier,
         KeyboardShortcut{123, 0xC0000, QStringLiteral("⌃⌥←"), std::nullopt}, false},
        {"Ctrl+1 types no control character", Qt::Key_1, Qt::ControlModifier,
         KeyboardShortcut{18, 0x40000, QStringLiteral("⌃1"), std::nullopt}, false},
        {"Tab is recorded, not a focus move", Qt::Key_Tab, Qt::ControlModifier,
         KeyboardShortcut{48, 0x40000, QStringLiteral("⌃Tab"), std::nullopt}, false},
        {"plain Escape cancels", Qt::Key_Escape, {}, std::nullopt, false},
        {"Shift+Escape records", Qt::Key_Escape, Qt::ShiftModifier,
         KeyboardShortcut{53, 0x20000, QStringLiteral("⇧Esc"), std::nullopt}, false},
        {"Shift alone records nothing", Qt::Key_Shift, Qt::ShiftModifier, std::nullopt, true},
        {"VolumeUp",
         Qt::Key_VolumeUp,
         {},
         KeyboardShortcut{0, 0, QStringLiteral("音量增加"), ShortcutMediaKey::volumeUp},
         false},
        {"Ctrl+PlayPause", Qt::Key_MediaTogglePlayPause, Qt::ControlModifier,
         KeyboardShortcut{0, 0x40000, QStringLiteral("⌃播放 / 暂停"), ShortcutMediaKey::playPause}, false},
    };
    const KeyboardShortcut before{0, 0x100000, QStringLiteral("⌘A"), std::nullopt};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.setShortcut(before);
        changes.clear();
        focusIn();
        ASSERT_TRUE(field->isRecording());
        EXPECT_TRUE(ui.controller.isRecordingShortcut());
        EXPECT_EQ(field->text(), QStringLiteral("请按快捷键（Esc 取消）"));
        press(c.key, c.modifiers);
        EXPECT_EQ(field->isRecording(), c.stillRecording);
        EXPECT_EQ(ui.controller.isRecordingShortcut(), c.stillRecording);
        if (c.expected) {
            ASSERT_EQ(changes.count(), 1);
            EXPECT_EQ(last(), c.expected);
            EXPECT_EQ(field->text(), c.expected->label);
        } else {
            EXPECT_EQ(changes.count(), 0);
            EXPECT_EQ(recorder.shortcut(), before);
        }
        field->stopRecording();
        EXPECT_EQ(field->text(), recorder.shortcut()->label);
    }
}

TEST_F(RecorderTest, FnComesOnlyFromTheKeyboardState) {
    focusIn();
    ui.rig.h.keyboard.setCombinedFlags(modifier_flag::function);
    press(Qt::Key_F5);
    EXPECT_EQ(last(), (KeyboardShortcut{96, 0x800000, QStringLiteral("Fn F5"), std::nullopt}));
    ui.rig.h.keyboard.setCombinedFlags(0);
    focusIn();
    // An arrow's own Fn flag is dropped without a held Fn key.
    InputEvent arrow = sim::SimKeyEventMonitor::userKeyDown(126, modifier_flag::function);
    EXPECT_TRUE(field->record(arrow));
    EXPECT_EQ(last(), (KeyboardShortcut{126, 0, QStringLiteral("↑"), std::nullopt}));
}

TEST_F(RecorderTest, TheGlobalMonitorRecordsOnlyWhenTrustedAndOnlyOnce) {
    focusIn();
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 0);
    field->stopRecording();

    ui.rig.h.accessibilityTrust.setTrusted(true);
    focusIn();
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 1);
    ui.rig.h.keyEvents.press(sim::SimKeyEventMonitor::userKeyDown(48, modifier_flag::command),
                             sim::SimKeyEventMonitor::Target::otherApplication);
    EXPECT_EQ(last(), (KeyboardShortcut{48, 0x100000, QStringLiteral("⌘Tab"), std::nullopt}));
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 0);
    // The same press arriving in the window afterwards is not recorded again.
    press(Qt::Key_Tab, Qt::MetaModifier);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(RecorderTest, TheFlagFallsOnEveryWayOut) {
    // Deactivation of the window.
    focusIn();
    QEvent deactivated(QEvent::ActivationChange);
    QApplication::sendEvent(field, &deactivated);
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
    // Hiding.
    focusIn();
    recorder.hide();
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
    recorder.show();
    // Deletion.
    auto other = std::make_unique<ShortcutRecorder>(ui.context);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(other->field(), &in);
    EXPECT_TRUE(ui.controller.isRecordingShortcut());
    other.reset();
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
    // The window's own first focus does not start a recording.
    QFocusEvent first(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(field, &first);
    EXPECT_FALSE(field->isRecording());
    // While recording, Escape is kept from the sheet around the field.
    focusIn();
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Escape, {});
    override.ignore();
    QApplication::sendEvent(field, &override);
    EXPECT_TRUE(override.isAccepted());
}

TEST_F(RecorderTest, ClearingAndTheManualEditor) {
    recorder.setShortcut(KeyboardShortcut{40, 0x120000, QStringLiteral("⇧⌘K"), std::nullopt});
    auto* clear = recorder.findChild<QToolButton*>(QStringLiteral("clearShortcut"));
    EXPECT_TRUE(clear->isVisible());
    ShortcutManualEditor* editor = recorder.manualEditor();
    EXPECT_EQ(editor->keyID(), QStringLiteral("key:40"));
    EXPECT_EQ(editor->modifiers(), 0x120000u);

    // A recording rebuilds the editor from the new shortcut.
    focusIn();
    press(Qt::Key_VolumeUp, Qt::ShiftModifier);
    EXPECT_NE(recorder.manualEditor(), editor);
    EXPECT_EQ(recorder.manualEditor()->keyID(), QStringLiteral("media:volumeUp"));
    EXPECT_EQ(recorder.manualEditor()->preview(), QStringLiteral("⇧音量增加"));

    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(last(), std::nullopt);
    EXPECT_FALSE(clear->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("点击录入快捷键"));

    // A manual save goes to the owner.
    recorder.manualEditor()->applyPreset(53, modifier_flag::command | modifier_flag::option);
    QTest::mouseClick(recorder.manualEditor()->findChild<QPushButton*>(QStringLiteral("saveShortcut")), Qt::LeftButton);
    EXPECT_EQ(last(), (KeyboardShortcut{53, 0x180000, QStringLiteral("⌥⌘Esc"), std::nullopt}));
}

TEST(ShortcutManualEditorTest, PresetsSwitchesAndStartingPoints) {
    struct Case {
        const char* what;
        std::optional<KeyboardShortcut> shortcut;
        QString keyID;
        std::uint64_t modifiers;
    };
    const Case cases[] = {
        {"nothing", std::nullopt, QStringLiteral("key:48"), 0},
        {"a key not in the list", KeyboardShortcut{83, 0x40000, QStringLiteral("⌃1"), std::nullopt},
         QStringLiteral("key:48"), 0x40000},
        {"a media key", KeyboardShortcut{0, 0x20000, QStringLiteral("⇧静音"), ShortcutMediaKey::mute},
         QStringLiteral("media:mute"), 0x20000},
        {"a letter", KeyboardShortcut{0, 0x100000, QStringLiteral("⌘A"), std::nullopt}, QStringLiteral("key:0"),
         0x100000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShortcutManualEditor editor(c.shortcut);
        EXPECT_EQ(editor.keyID(), c.keyID);
        EXPECT_EQ(editor.modifiers(), c.modifiers);
    }

    ShortcutManualEditor editor(std::nullopt);
    EXPECT_EQ(editor.preview(), QStringLiteral("Tab"));
    QSignalSpy saved(&editor, &ShortcutManualEditor::saved);
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("preset1")), Qt::LeftButton);
    EXPECT_EQ(editor.keyID(), QStringLiteral("key:53"));
    EXPECT_EQ(editor.preview(), QStringLiteral("⌥⌘Esc"));
    EXPECT_EQ(saved.count(), 0);
    // All five with A.
    auto* keys = editor.findChild<QComboBox*>(QStringLiteral("keyPicker"));
    keys->activated(keys->findData(QStringLiteral("key:0"), Qt::UserRole));
    for (const char* name : {"Control", "Shift", "Fn"}) {
        QTest::mouseClick(editor.findChild<QToolButton*>(QStringLiteral("modifier") + QLatin1String(name)),
                          Qt::LeftButton);
    }
    EXPECT_EQ(editor.preview(), QStringLiteral("Fn ⌃⌥⇧⌘A"));
    editor.save();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).value<KeyboardShortcut>(),
              (KeyboardShortcut{0, 0x9E0000, QStringLiteral("Fn ⌃⌥⇧⌘A"), std::nullopt}));

    // The picker holds every option once, under its six headers.
    int options = 0;
    for (int row = 0; row < keys->count(); ++row) options += keys->itemData(row, Qt::UserRole).isValid();
    EXPECT_EQ(options, 93);
    EXPECT_EQ(keys->itemText(0), QStringLiteral("特殊按键"));
    EXPECT_EQ(keys->itemData(1 + 16 + 1 + 20 + 1, Qt::UserRole).toString(), QStringLiteral("media:volumeUp"));
    EXPECT_EQ(keys->itemData(keys->count() - 1, Qt::UserRole).toString(), QStringLiteral("key:44"));
}

TEST(RecordedKeyEventTest, TheQtKeyTableAgreesWithTheKeyOptions) {
    // Every ordinary key the manual editor offers is reached by its Qt key.
    const std::pair<int, QString> keys[] = {
        {Qt::Key_Tab, QStringLiteral("Tab")},  {Qt::Key_Delete, QStringLiteral("向前删除")},
        {Qt::Key_F20, QStringLiteral("F20")},  {Qt::Key_Z, QStringLiteral("Z")},
        {Qt::Key_9, QStringLiteral("9")},      {Qt::Key_QuoteLeft, QStringLiteral("`")},
        {Qt::Key_Slash, QStringLiteral("/")},  {Qt::Key_Question, QStringLiteral("/")},
        {Qt::Key_Exclam, QStringLiteral("1")}, {Qt::Key_Enter, QStringLiteral("小键盘 Enter")},
    };
    for (const auto& [key, title] : keys) {
        const auto code = keyCodeOfQtKey(key);
        ASSERT_TRUE(code) << title.toStdString();
        const auto& all = ShortcutKeyOption::all();
        const auto option = std::find_if(all.begin(), all.end(),
                                         [&](const ShortcutKeyOption& o) { return !o.mediaKey && o.keyCode == *code; });
        ASSERT_NE(option, all.end());
        EXPECT_EQ(option->title, title);
    }
    EXPECT_FALSE(keyCodeOfQtKey(Qt::Key_Launch0));
}

TEST_F(RecorderTest, Pictures) {
    recorder.setShortcut(KeyboardShortcut{40, 0x120000, QStringLiteral("⇧⌘K"), std::nullopt});
    recorder.adjustSize();
    test::saveForReview(test::pictureOf(recorder), QStringLiteral("shortcut-recorder"));
}

}  // namespace
}  // namespace glidra
