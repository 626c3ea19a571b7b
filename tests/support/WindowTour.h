#pragma once

// Every window of the program, opened as the user opens them, in the states
// worth looking at: the settings window on each page, the rule editor's two
// steps, the sheets and choosers they open.

#include "actions/KeyboardShortcut.h"
#include "app/ContentView.h"
#include "app/SettingsWindow.h"
#include "settings/ConfigurationArchive.h"
#include "settings/ControlSettings.h"
#include "support/UiHarness.h"
#include "views/actions/ApplicationChooser.h"
#include "views/pages/ConfigurationImportPreview.h"
#include "views/pages/ControlSettingsView.h"
#include "views/pages/GestureBindingsView.h"
#include "views/pages/PracticeView.h"
#include "views/rules/FreeformRulesView.h"
#include "views/rules/GestureRuleEditor.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>

#include <functional>

namespace glidra::test {

class WindowTour {
public:
    using Visit = std::function<void(const QString& name, QWidget& window)>;

    explicit WindowTour(UiHarness& ui) : ui_(ui) {}

    // Three rules, two of them on one gesture, the third a shortcut: the
    // rows, the conflict banner and badges, and the recorder all show.
    static std::vector<GestureRule> rules() {
        GestureRule copy;
        copy.gesture = {GestureDescriptor::Kind::swipe, 3, GestureDescriptor::Direction::left, 1};
        copy.action = GestureAction::copy;
        GestureRule paste = copy;
        paste.id = QUuid::createUuid();
        paste.action = GestureAction::paste;
        GestureRule shortcut;
        shortcut.gesture = {GestureDescriptor::Kind::tap, 3, GestureDescriptor::Direction::up, 2};
        shortcut.action = GestureAction::customShortcut;
        shortcut.shortcut =
            KeyboardShortcut{17, modifier_flag::control | modifier_flag::shift, QStringLiteral("Ctrl+Shift+T"), {}};
        return {copy, paste, shortcut};
    }

    void visit(const Visit& visit) {
        ui_.h.settings.setRules(rules());
        PageFactories pages;
        pages[SettingsPage::gestures] = [](UiContext& shared) -> QWidget* { return new FreeformRulesView(shared); };
        pages[SettingsPage::edges] = [](UiContext& shared) -> QWidget* { return new GestureBindingsView(shared); };
        pages[SettingsPage::practice] = [](UiContext& shared) -> QWidget* { return new PracticeView(shared); };
        pages[SettingsPage::general] = [](UiContext& shared) -> QWidget* { return new ControlSettingsView(shared); };
        QPointer<SettingsWindow> window = new SettingsWindow(ui_.context, pages);
        window->show();
        settle();

        for (const SettingsPage page :
             {SettingsPage::edges, SettingsPage::practice, SettingsPage::general, SettingsPage::gestures}) {
            window->contentView()->setPage(page);
            settle();
            visit(QStringLiteral("settings-") + enumRaw(page), *window);
        }

        auto* rules = window->findChild<FreeformRulesView*>();
        ASSERT_NE(rules, nullptr);
        rules->addRule();
        settle();
        visit(QStringLiteral("ruleEditor-capture"), *rules->editor());
        // On to the action step with the gesture chosen by hand: the shown
        // window grows in place.
        press(rules->editor(), QStringLiteral("primary"));
        visit(QStringLiteral("ruleEditor-action"), *rules->editor());
        close(rules->editor());

        const auto stored = ui_.h.settings.rules();
        rules->editRule(stored.at(2));
        settle();
        GestureRuleEditor* editor = rules->editor();
        visit(QStringLiteral("ruleEditor-shortcut"), *editor);
        press(editor, QStringLiteral("addApplication"));
        if (auto* chooser = editor->findChild<ApplicationChooser*>())
            visit(QStringLiteral("applicationChooser"), *chooser);
        close(editor->findChild<ApplicationChooser*>());
        press(editor, QStringLiteral("addRegion"));
        press(editor, QStringLiteral("regionButton"));
        if (auto* sheet = editor->findChild<QDialog*>(QStringLiteral("regionSelectionSheet"))) {
            visit(QStringLiteral("regionSheet"), *sheet);
            close(sheet);
        }
        close(editor);

        rules->editRule(stored.at(1));
        settle();
        editor = rules->editor();
        press(editor, QStringLiteral("toggleDetails"));
        visit(QStringLiteral("ruleEditor-conflict"), *editor);
        close(editor);

        rules->showConflicts();
        settle();
        visit(QStringLiteral("conflictInspector"), *rules->inspector());
        close(rules->inspector());

        press(window, QStringLiteral("featureRequestButton"));
        if (auto* sheet = window->findChild<QDialog*>(QStringLiteral("featureRequest"))) {
            visit(QStringLiteral("featureRequest"), *sheet);
            close(sheet);
        }

        ConfigurationArchive archive;
        archive.gestures = WindowTour::rules();
        QPointer<QDialog> preview =
            new ConfigurationImportPreview(archive, QStringLiteral("Glidra 配置 2024-05-01.json"), 3, {}, {}, window);
        preview->open();
        settle();
        visit(QStringLiteral("importPreview"), *preview);
        delete preview.data();

        delete window.data();
        UiHarness::flushDeletes();
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

private:
    // Clicks the visible button of that name inside `root`.
    static void press(QWidget* root, const QString& name) {
        for (auto* button : root->findChildren<QAbstractButton*>(name)) {
            if (!button->isVisibleTo(root->window())) continue;
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            settle();
            return;
        }
        ADD_FAILURE() << "no visible button " << name.toStdString();
    }

    static void close(QWidget* dialog) {
        if (auto* shown = qobject_cast<QDialog*>(dialog)) shown->reject();
        UiHarness::flushDeletes();
        settle();
    }

    UiHarness& ui_;
};

}  // namespace glidra::test
