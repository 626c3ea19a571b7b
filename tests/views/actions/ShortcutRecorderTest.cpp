#include "platform/linux/KeyCodeTranslation.h"
#include "support/NamedKeymaps.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "views/actions/RecordedKeyEvent.h"
#include "views/actions/ShortcutManualEditor.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/actions/ShortcutRecorderField.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <linux/input-event-codes.h>

#include <map>

namespace glidra {
namespace {

struct RecorderTest : ::testing::Test {
    test::UiHarness ui;
    ShortcutRecorder recorder{ui.context};
    ShortcutRecorderField* field = recorder.field();
    QSignalSpy changes{&recorder, &ShortcutRecorder::shortcutChanged};

    RecorderTest() { recorder.show(); }

    // Recording starts on a click.
    void focusIn() { QTest::mouseClick(field, Qt::LeftButton); }
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
         KeyboardShortcut{40, 0x120000, QStringLiteral("Shift+Super+K"), std::nullopt}, false},
        {"Ctrl+Alt+Left", Qt::Key_Left, Qt::ControlModifier | Qt::AltModifier,
         KeyboardShortcut{123, 0xC0000, QStringLiteral("Ctrl+Alt+←"), std::nullopt}, false},
        {"Ctrl+1 types no control character", Qt::Key_1, Qt::ControlModifier,
         KeyboardShortcut{18, 0x40000, QStringLiteral("Ctrl+1"), std::nullopt}, false},
        {"Ctrl+Tab is recorded, not a focus move", Qt::Key_Tab, Qt::ControlModifier,
         KeyboardShortcut{48, 0x40000, QStringLiteral("Ctrl+Tab"), std::nullopt}, false},
        {"plain Escape cancels", Qt::Key_Escape, {}, std::nullopt, false},
        {"Shift+Escape records", Qt::Key_Escape, Qt::ShiftModifier,
         KeyboardShortcut{53, 0x20000, QStringLiteral("Shift+Esc"), std::nullopt}, false},
        {"Shift alone records nothing", Qt::Key_Shift, Qt::ShiftModifier, std::nullopt, true},
        {"VolumeUp",
         Qt::Key_VolumeUp,
         {},
         KeyboardShortcut{0, 0, QStringLiteral("音量增加"), ShortcutMediaKey::volumeUp},
         false},
        {"Ctrl+PlayPause", Qt::Key_MediaTogglePlayPause, Qt::ControlModifier,
         KeyboardShortcut{0, 0x40000, QStringLiteral("Ctrl+播放 / 暂停"), ShortcutMediaKey::playPause}, false},
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
        EXPECT_EQ(field->text(), recorder.shortcut()->displayLabel());
    }
}

// A keyboard with the named layout, as Qt's xcb platform delivers its keys:
// each event carries the key's XKB key code as its scan code.
void useLayout(sim::SimKeyboardLayout& layout, const char* name) {
    layout.setLegends(test::legendsOfLayout(name));
    QHash<std::uint32_t, std::uint16_t> scanCodes;
    for (std::uint16_t key = 1; key < 256; ++key) {
        if (const auto code = linux_platform::key_codes::virtualKeyCode(key)) {
            scanCodes.insert(test::scanCodeOf(key), *code);
        }
    }
    layout.setScanCodes(scanCodes);
}

TEST_F(RecorderTest, AShortcutIsTheKeyPressedOnAnyLayoutTitledByWhatItTypes) {
    using namespace modifier_flag;
    struct Case {
        const char* layout;
        std::uint16_t key;  // the kernel's, which the desktop reports
        int qtKey;          // what the layout makes of it
        Qt::KeyboardModifiers modifiers;
        KeyboardShortcut expected;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Case cases[] = {
        {"us", KEY_A, Qt::Key_A, ctrl, {0, control, QStringLiteral("Ctrl+A"), std::nullopt}},
        // AZERTY: A and Z sit on the US Q and W, M on the semicolon, and the
        // digit row types symbols.
        {"fr", KEY_Q, Qt::Key_A, ctrl, {12, control, QStringLiteral("Ctrl+A"), std::nullopt}},
        {"fr", KEY_W, Qt::Key_Z, ctrl, {13, control, QStringLiteral("Ctrl+Z"), std::nullopt}},
        {"fr", KEY_SEMICOLON, Qt::Key_M, ctrl, {41, control, QStringLiteral("Ctrl+M"), std::nullopt}},
        {"fr", KEY_1, Qt::Key_Ampersand, ctrl, {18, control, QStringLiteral("Ctrl+&"), std::nullopt}},
        {"fr", KEY_2, Qt::Key_Eacute, ctrl, {19, control, QStringLiteral("Ctrl+É"), std::nullopt}},
        // A dead key types nothing by itself: the layout names it.
        {"fr", KEY_LEFTBRACE, Qt::Key_Dead_Circumflex, ctrl, {33, control, QStringLiteral("Ctrl+^"), std::nullopt}},
        // QWERTZ: Z and Y change places.
        {"de", KEY_Y, Qt::Key_Z, ctrl, {16, control, QStringLiteral("Ctrl+Z"), std::nullopt}},
        {"de",
         KEY_Z,
         Qt::Key_Y,
         ctrl | Qt::ShiftModifier,
         {6, control | shift, QStringLiteral("Ctrl+Shift+Y"), std::nullopt}},
        {"de", KEY_MINUS, Qt::Key_ssharp, Qt::AltModifier, {27, option, QStringLiteral("Alt+ß"), std::nullopt}},
        {"de", KEY_EQUAL, Qt::Key_Dead_Acute, ctrl, {24, control, QStringLiteral("Ctrl+´"), std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << " key " << c.key);
        useLayout(ui.keyboardLayout, c.layout);
        changes.clear();
        focusIn();
        QKeyEvent event(QEvent::KeyPress, c.qtKey, c.modifiers, test::scanCodeOf(c.key), 0, 0);
        QApplication::sendEvent(field, &event);
        ASSERT_EQ(changes.count(), 1);
        EXPECT_EQ(last(), c.expected) << last()->label.toStdString();
        // Played back, it is the key that was pressed.
        EXPECT_EQ(linux_platform::key_codes::evdevKeyCode(last()->keyCode), c.key);
    }
}

TEST_F(RecorderTest, AKeyHeardOutsideTheWindowIsTitledForTheLayout) {
    useLayout(ui.keyboardLayout, "fr");
    ui.rig.h.accessibilityTrust.setTrusted(true);
    focusIn();
    // AZERTY's A, on the US Q, reported by the kernel without a character.
    ui.rig.h.keyEvents.press(sim::SimKeyEventMonitor::userKeyDown(12, modifier_flag::control),
                             sim::SimKeyEventMonitor::Target::otherApplication);
    EXPECT_EQ(last(), (KeyboardShortcut{12, 0x40000, QStringLiteral("Ctrl+A"), std::nullopt}));
}

TEST_F(RecorderTest, FnComesOnlyFromTheKeyboardState) {
    focusIn();
    ui.rig.h.keyboard.setCombinedFlags(modifier_flag::function);
    press(Qt::Key_F5);
    EXPECT_EQ(last(), (KeyboardShortcut{96, 0x800000, QStringLiteral("Fn+F5"), std::nullopt}));
    ui.rig.h.keyboard.setCombinedFlags(0);
    focusIn();
    // An arrow's own Fn flag is dropped without a held Fn key.
    InputEvent arrow = sim::SimKeyEventMonitor::userKeyDown(126, modifier_flag::function);
    EXPECT_TRUE(field->record(arrow));
    EXPECT_EQ(last(), (KeyboardShortcut{126, 0, QStringLiteral("↑"), std::nullopt}));
}

// The global monitor is installed only when trusted, and a press that it and
// the window both deliver is recorded once. It never sees what the desktop
// keeps for itself: on Linux it reports only while no window of ours has the
// focus, and a recording ends when the window loses it (below).
TEST_F(RecorderTest, TheGlobalMonitorIsInstalledOnlyWhenTrustedAndRecordsOnce) {
    focusIn();
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 0);
    field->stopRecording();

    ui.rig.h.accessibilityTrust.setTrusted(true);
    focusIn();
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 1);
    ui.rig.h.keyEvents.press(sim::SimKeyEventMonitor::userKeyDown(48, modifier_flag::command),
                             sim::SimKeyEventMonitor::Target::otherApplication);
    EXPECT_EQ(last(), (KeyboardShortcut{48, 0x100000, QStringLiteral("Super+Tab"), std::nullopt}));
    EXPECT_EQ(ui.rig.h.keyEvents.globalMonitors(), 0);
    // The same press arriving in the window afterwards is not recorded again.
    press(Qt::Key_Tab, Qt::MetaModifier);
    EXPECT_EQ(changes.count(), 1);
    // The hint sends the user to the manual editor for such combinations.
    EXPECT_TRUE(field->toolTip().contains(QStringLiteral("手动选择")));
    EXPECT_TRUE(field->accessibleName().contains(QStringLiteral("手动选择")));
}

TEST_F(RecorderTest, AKeyboardUserStartsRecordingWithSpaceOrReturnAndTabsOn) {
    QWidget window;
    auto* before = new QPushButton(QStringLiteral("before"), &window);
    auto* embedded = new ShortcutRecorder(ui.context, &window);
    auto* after = new QPushButton(QStringLiteral("after"), &window);
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* widget :
         {static_cast<QWidget*>(before), static_cast<QWidget*>(embedded), static_cast<QWidget*>(after)}) {
        layout->addWidget(widget);
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ShortcutRecorderField* recorderField = embedded->field();
    QSignalSpy recorded(embedded, &ShortcutRecorder::shortcutChanged);

    // Tab reaches the field without recording, and the next Tab moves on.
    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), recorderField);
    EXPECT_FALSE(recorderField->isRecording());
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
    QTest::keyClick(recorderField, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), recorderField);
    EXPECT_EQ(recorded.count(), 0);

    for (const Qt::Key start : {Qt::Key_Space, Qt::Key_Return}) {
        SCOPED_TRACE(int(start));
        recorderField->setFocus(Qt::BacktabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), recorderField);
        QTest::keyClick(recorderField, start);
        EXPECT_TRUE(recorderField->isRecording());
        EXPECT_TRUE(ui.controller.isRecordingShortcut());
        // A plain Tab while recording ends it and moves on, recording nothing.
        QTest::keyClick(recorderField, Qt::Key_Tab);
        EXPECT_FALSE(recorderField->isRecording());
        EXPECT_FALSE(ui.controller.isRecordingShortcut());
        EXPECT_NE(QApplication::focusWidget(), recorderField);
        EXPECT_EQ(recorded.count(), 0);
    }

    // Shift+Tab goes back the same way; a combination is recorded.
    recorderField->setFocus(Qt::TabFocusReason);
    QTest::keyClick(recorderField, Qt::Key_Space);
    QTest::keyClick(recorderField, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before);
    recorderField->setFocus(Qt::TabFocusReason);
    QTest::keyClick(recorderField, Qt::Key_Return);
    QTest::keyClick(recorderField, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(recorded.count(), 1);
    EXPECT_EQ(recorded.last().at(0).value<std::optional<KeyboardShortcut>>(),
              (KeyboardShortcut{17, 0xC0000, QStringLiteral("Ctrl+Alt+T"), std::nullopt}));
}

// The field takes the focus and starts recording when pressed: a screen
// reader meets a toggle button named by what it shows, pressed while it
// records.

TEST_F(RecorderTest, AScreenReaderMeetsAButtonThatSaysWhatItShowsAndWhetherItRecords) {
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(spoken, nullptr);
    EXPECT_EQ(spoken->role(), QAccessible::Button);
    EXPECT_TRUE(spoken->state().checkable);
    EXPECT_TRUE(spoken->state().focusable);
    EXPECT_FALSE(spoken->state().checked);
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("点击录入快捷键"));
    EXPECT_TRUE(spoken->text(QAccessible::Description).contains(QStringLiteral("手动选择")));
    ASSERT_NE(spoken->actionInterface(), nullptr);
    EXPECT_TRUE(spoken->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    spoken->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(field->isRecording());
    EXPECT_TRUE(spoken->state().checked);
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("请按快捷键（Esc 取消）"));

    press(Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(field->isRecording());
    EXPECT_FALSE(spoken->state().checked);
    EXPECT_EQ(spoken->text(QAccessible::Name), QStringLiteral("Ctrl+Alt+T"));
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
    other->field()->startRecording();
    EXPECT_TRUE(ui.controller.isRecordingShortcut());
    other.reset();
    EXPECT_FALSE(ui.controller.isRecordingShortcut());
    // Focus alone, the window's first or by Tab, does not start a recording.
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::TabFocusReason}) {
        QFocusEvent first(QEvent::FocusIn, reason);
        QApplication::sendEvent(field, &first);
        EXPECT_FALSE(field->isRecording());
    }
    // While recording, Escape is kept from the sheet around the field.
    focusIn();
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Escape, {});
    override.ignore();
    QApplication::sendEvent(field, &override);
    EXPECT_TRUE(override.isAccepted());
}

TEST_F(RecorderTest, ClearingAndTheManualEditor) {
    recorder.setShortcut(KeyboardShortcut{40, 0x120000, QStringLiteral("Shift+Super+K"), std::nullopt});
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
    EXPECT_EQ(recorder.manualEditor()->preview(), QStringLiteral("Shift+音量增加"));

    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_EQ(last(), std::nullopt);
    EXPECT_FALSE(clear->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("点击录入快捷键"));

    // A manual save goes to the owner.
    recorder.manualEditor()->applyPreset(17, modifier_flag::control | modifier_flag::option);
    QTest::mouseClick(recorder.manualEditor()->findChild<QPushButton*>(QStringLiteral("saveShortcut")), Qt::LeftButton);
    EXPECT_EQ(last(), (KeyboardShortcut{17, 0xC0000, QStringLiteral("Ctrl+Alt+T"), std::nullopt}));
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
        {"a key not in the list", KeyboardShortcut{83, 0x40000, QStringLiteral("Ctrl+1"), std::nullopt},
         QStringLiteral("key:48"), 0x40000},
        {"a media key", KeyboardShortcut{0, 0x20000, QStringLiteral("Shift+静音"), ShortcutMediaKey::mute},
         QStringLiteral("media:mute"), 0x20000},
        {"a letter", KeyboardShortcut{0, 0x100000, QStringLiteral("Super+A"), std::nullopt}, QStringLiteral("key:0"),
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
    // The desktop's own combinations, each with the label it gives.
    const std::pair<const char*, KeyboardShortcut> presets[] = {
        {"Alt+Tab · 切换应用", {48, 0x80000, QStringLiteral("Alt+Tab"), std::nullopt}},
        {"Super · 活动概览", {55, 0, QStringLiteral("Super"), std::nullopt}},
        {"Ctrl+Alt+T · 打开终端", {17, 0xC0000, QStringLiteral("Ctrl+Alt+T"), std::nullopt}},
        {"Print · 截屏", {105, 0, QStringLiteral("Print"), std::nullopt}},
        {"Super+L · 锁定屏幕", {37, 0x100000, QStringLiteral("Super+L"), std::nullopt}},
        {"Ctrl+Alt+← · 上一个工作区", {123, 0xC0000, QStringLiteral("Ctrl+Alt+←"), std::nullopt}},
        {"Ctrl+Alt+→ · 下一个工作区", {124, 0xC0000, QStringLiteral("Ctrl+Alt+→"), std::nullopt}},
    };
    for (std::size_t i = 0; i < std::size(presets); ++i) {
        auto* button = editor.findChild<QPushButton*>(QStringLiteral("preset%1").arg(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf8(presets[i].first));
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(editor.preview(), presets[i].second.label);
        EXPECT_EQ(saved.count(), qsizetype(i));  // a preset alone saves nothing
        editor.save();
        EXPECT_EQ(saved.last().at(0).value<KeyboardShortcut>(), presets[i].second);
    }
    EXPECT_EQ(editor.findChild<QPushButton*>(QStringLiteral("preset%1").arg(std::size(presets))), nullptr);
    saved.clear();

    // Four switches named as the desktop names the keys, in its order; no Fn.
    auto* keys = editor.findChild<QComboBox*>(QStringLiteral("keyPicker"));
    keys->activated(keys->findData(QStringLiteral("key:0"), Qt::UserRole));
    QStringList shown;
    for (const char* name : {"Control", "Option", "Shift", "Command"}) {
        auto* toggle = editor.findChild<QToolButton*>(QStringLiteral("modifier") + QLatin1String(name));
        ASSERT_NE(toggle, nullptr);
        shown << toggle->text();
        EXPECT_EQ(toggle->accessibleName(), toggle->text());
        if (!toggle->isChecked()) QTest::mouseClick(toggle, Qt::LeftButton);
    }
    EXPECT_EQ(shown, (QStringList{"Ctrl", "Alt", "Shift", "Super"}));
    EXPECT_EQ(editor.findChild<QToolButton*>(QStringLiteral("modifierFn")), nullptr);
    EXPECT_EQ(editor.preview(), QStringLiteral("Ctrl+Alt+Shift+Super+A"));
    editor.save();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).value<KeyboardShortcut>(),
              (KeyboardShortcut{0, 0x1E0000, QStringLiteral("Ctrl+Alt+Shift+Super+A"), std::nullopt}));

    // A stored shortcut with the Fn flag keeps it, and its label says so.
    ShortcutManualEditor withFunction(KeyboardShortcut{96, 0x840000, QStringLiteral("Fn ⌃F5"), std::nullopt});
    EXPECT_EQ(withFunction.modifiers(), 0x840000u);
    EXPECT_EQ(withFunction.preview(), QStringLiteral("Fn+Ctrl+F5"));

    // The picker holds every option once, under its six headers.
    int options = 0;
    for (int row = 0; row < keys->count(); ++row) options += keys->itemData(row, Qt::UserRole).isValid();
    EXPECT_EQ(options, 94);
    EXPECT_EQ(keys->itemText(0), QStringLiteral("特殊按键"));
    EXPECT_EQ(keys->itemData(1 + 17 + 1 + 20 + 1, Qt::UserRole).toString(), QStringLiteral("media:volumeUp"));
    EXPECT_EQ(keys->itemData(keys->count() - 1, Qt::UserRole).toString(), QStringLiteral("key:44"));
}

// The picker's items under each header, in order.
std::map<QString, QStringList> pickerSections(const ShortcutManualEditor& editor) {
    const auto* keys = editor.findChild<QComboBox*>(QStringLiteral("keyPicker"));
    std::map<QString, QStringList> sections;
    QString header;
    for (int row = 0; row < keys->count(); ++row) {
        if (keys->itemData(row, Qt::UserRole).isValid()) {
            sections[header] << keys->itemText(row);
        } else {
            header = keys->itemText(row);
            sections[header];
        }
    }
    return sections;
}

QStringList lettersAToZ() {
    QStringList letters;
    for (char16_t c = u'A'; c <= u'Z'; ++c) letters << QString(QChar(c));
    return letters;
}

TEST(ShortcutManualEditorTest, TheKeysAreTitledForTheUsersLayout) {
    struct Case {
        const char* layout;
        std::vector<std::pair<const char*, const char*>> titles;  // key id, title
        QStringList letters;
        QStringList digits;
    };
    const Case cases[] = {
        {"fr",
         {{"key:12", "A"}, {"key:0", "Q"}, {"key:13", "Z"}, {"key:41", "M"}, {"key:46", ","}, {"key:33", "^"}},
         lettersAToZ() << QStringLiteral("Ù"),
         {"À", "&", "É", "\"", "'", "(", "-", "È", "_", "Ç"}},
        {"de",
         {{"key:16", "Z"}, {"key:6", "Y"}, {"key:27", "ß"}, {"key:24", "´"}},
         lettersAToZ() << QStringLiteral("Ä") << QStringLiteral("Ö") << QStringLiteral("Ü") << QStringLiteral("ß"),
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        const KeyboardLayout::Legends legends = test::legendsOfLayout(c.layout);
        ASSERT_FALSE(legends.isEmpty());
        ShortcutManualEditor editor(std::nullopt, legends);
        auto* keys = editor.findChild<QComboBox*>(QStringLiteral("keyPicker"));
        for (const auto& [id, title] : c.titles) {
            EXPECT_EQ(keys->itemText(keys->findData(QString::fromLatin1(id), Qt::UserRole)), QString::fromUtf8(title))
                << id;
        }
        // Letters by letter, wherever they sit; symbols under a plain header.
        const auto sections = pickerSections(editor);
        EXPECT_EQ(sections.at(QStringLiteral("字母")), c.letters);
        EXPECT_EQ(sections.at(QStringLiteral("数字")), c.digits);
        EXPECT_TRUE(sections.contains(QStringLiteral("符号")));
        EXPECT_FALSE(sections.contains(QStringLiteral("符号（美式键位）")));
        int listed = 0;
        for (const auto& [header, items] : sections) listed += int(items.size());
        EXPECT_EQ(listed, 94);
    }

    // The shortcut keeps the key's place, under its title here.
    ShortcutManualEditor azerty(std::nullopt, test::legendsOfLayout("fr"));
    QSignalSpy saved(&azerty, &ShortcutManualEditor::saved);
    auto* keys = azerty.findChild<QComboBox*>(QStringLiteral("keyPicker"));
    keys->activated(keys->findData(QStringLiteral("key:12"), Qt::UserRole));
    QTest::mouseClick(azerty.findChild<QToolButton*>(QStringLiteral("modifierControl")), Qt::LeftButton);
    azerty.save();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.at(0).at(0).value<KeyboardShortcut>(),
              (KeyboardShortcut{12, 0x40000, QStringLiteral("Ctrl+A"), std::nullopt}));

    // A layout that cannot be read leaves the US titles, which only stand
    // for positions.
    const auto unknown = pickerSections(ShortcutManualEditor(std::nullopt));
    EXPECT_EQ(unknown.at(QStringLiteral("字母")), lettersAToZ());
    EXPECT_TRUE(unknown.contains(QStringLiteral("符号（美式键位）")));
}

TEST_F(RecorderTest, TheManualEditorUsesTheLayout) {
    useLayout(ui.keyboardLayout, "fr");
    // Rebuilt for the next shortcut, it reads the layout then.
    recorder.setShortcut(KeyboardShortcut{12, 0x40000, QStringLiteral("Ctrl+A"), std::nullopt});
    ShortcutManualEditor* editor = recorder.manualEditor();
    EXPECT_EQ(editor->keyID(), QStringLiteral("key:12"));
    EXPECT_EQ(editor->preview(), QStringLiteral("Ctrl+A"));
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
    recorder.setShortcut(KeyboardShortcut{17, 0xC0000, QStringLiteral("Ctrl+Alt+T"), std::nullopt});
    recorder.adjustSize();
    test::saveForReview(test::pictureOf(recorder), QStringLiteral("shortcut-recorder"));
}

}  // namespace
}  // namespace glidra
