#pragma once

#include <QAccessibleWidget>

namespace glidra {

class ShortcutRecorderField;

// The recorder field as a screen reader sees it: a toggle button named by
// what it shows (the shortcut, or the prompt), pressed while it records, and
// described by how to use it. Pressing it starts recording, or stops it.
class ShortcutRecorderFieldAccessible final : public QAccessibleWidget {
public:
    explicit ShortcutRecorderFieldAccessible(ShortcutRecorderField* field);

    // Lets Qt build this interface for every recorder field; once is enough.
    static void install();

    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    ShortcutRecorderField* field() const;
};

}  // namespace glidra
