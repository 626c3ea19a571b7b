#pragma once

#include "views/kit/RoundedBox.h"

class QPushButton;
class QTextEdit;

namespace glidra::kit {

// One command for the user to run in a terminal, on a faint box: shown whole
// in the fixed font, wrapped only at its spaces (a word longer than the line
// scrolls sideways rather than breaking), selectable, and copied whole by a
// button beside it. A copied selection is the command's own text.
class ShellCommandView final : public RoundedBox {
    Q_OBJECT
public:
    explicit ShellCommandView(const QString& command, QWidget* parent = nullptr);

    QString command() const { return command_; }
    QTextEdit* textView() const { return text_; }
    QPushButton* copyButton() const { return copy_; }

    // The text as it is laid out: the command with a word joiner wherever a
    // line could otherwise break inside a word.
    static QString unbreakable(const QString& command);

Q_SIGNALS:
    void copied();

private:
    QString command_;
    QTextEdit* text_;
    QPushButton* copy_;
};

}  // namespace glidra::kit
