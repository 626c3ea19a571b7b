#pragma once

// Drives the application chooser a view opened, as the user would.

#include "platform/sim/SimFileDialogs.h"
#include "views/actions/ApplicationChooser.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>

#include <optional>

namespace glidra::test {

// The chooser open over `window`; null when none is.
inline ApplicationChooser* openChooser(QWidget* window) {
    for (auto* chooser : window->findChildren<ApplicationChooser*>()) {
        if (chooser->isVisible()) return chooser;
    }
    return nullptr;
}

inline void pressInChooser(QWidget* window, const char* button) {
    ApplicationChooser* chooser = openChooser(window);
    ASSERT_NE(chooser, nullptr) << "no application chooser is open";
    auto* pressed = chooser->findChild<QPushButton*>(QLatin1String(button));
    ASSERT_NE(pressed, nullptr) << button;
    QTest::mouseClick(pressed, Qt::LeftButton);
    // A closed chooser is deleted later.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the file panel, for an entry outside the list, and answers it with
// `path` (nothing for a cancel).
inline void chooseFromFile(QWidget* window, sim::SimFileDialogs& dialogs, std::optional<QString> path) {
    pressInChooser(window, "chooseApplicationFile");
    ASSERT_TRUE(dialogs.isOpen()) << "the chooser opened no file panel";
    dialogs.answer(std::move(path));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void cancelChooser(QWidget* window) { pressInChooser(window, "cancel"); }

// Selects the listed application of that name and presses "选择".
inline void chooseListed(QWidget* window, const QString& name) {
    ApplicationChooser* chooser = openChooser(window);
    ASSERT_NE(chooser, nullptr) << "no application chooser is open";
    auto* list = chooser->findChild<QAbstractItemView*>(QStringLiteral("applicationList"));
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << name.toStdString() << " is not listed";
    list->setCurrentIndex(found.front());
    pressInChooser(window, "choose");
}

}  // namespace glidra::test
