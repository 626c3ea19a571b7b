#include "views/kit/ShellCommandView.h"

#include "views/kit/Symbols.h"
#include "views/kit/TextStyle.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <cmath>
#include <memory>

namespace glidra::kit {

namespace {

constexpr QChar wordJoiner(0x2060);

// A read-only text as tall as its lines at its width. Line breaks fall only
// at spaces: the text it is given joins every other place.
class CommandText final : public QTextEdit {
public:
    CommandText() {
        setReadOnly(true);
        setFrameShape(QFrame::NoFrame);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WordWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        setContextMenuPolicy(Qt::NoContextMenu);
        document()->setDocumentMargin(0);
        viewport()->setAutoFillBackground(false);
        setAutoFillBackground(false);
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    bool hasHeightForWidth() const override { return true; }

    int heightForWidth(int width) const override {
        const std::unique_ptr<QTextDocument> laid(document()->clone());
        laid->setTextWidth(width);
        int height = int(std::ceil(laid->size().height()));
        // A word wider than the line: the bar to scroll it comes below.
        if (laid->idealWidth() > width) height += horizontalScrollBar()->sizeHint().height();
        return height;
    }

    QSize sizeHint() const override {
        const int width = QTextEdit::sizeHint().width();
        return {width, heightForWidth(width)};
    }
    QSize minimumSizeHint() const override { return {fontMetrics().averageCharWidth() * 12, fontMetrics().height()}; }

protected:
    // The joiners stay out of what is copied.
    QMimeData* createMimeDataFromSelection() const override {
        auto* data = new QMimeData;
        data->setText(textCursor().selection().toPlainText().remove(wordJoiner));
        return data;
    }

    void resizeEvent(QResizeEvent* event) override {
        QTextEdit::resizeEvent(event);
        // A new width may take another line.
        updateGeometry();
    }
};

}  // namespace

QString ShellCommandView::unbreakable(const QString& command) {
    QString text;
    text.reserve(command.size() * 2);
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (i > 0 && !c.isSpace() && !command.at(i - 1).isSpace() &&
            !(c.isLetterOrNumber() && command.at(i - 1).isLetterOrNumber())) {
            text += wordJoiner;
        }
        text += c;
    }
    return text;
}

ShellCommandView::ShellCommandView(const QString& command, QWidget* parent)
    : RoundedBox(KitColour::quaternaryFill, 6, parent),
      command_(command),
      text_(new CommandText),
      copy_(new QPushButton(symbolIcon(QStringLiteral("doc.on.doc")), tr("复制"))) {
    text_->setObjectName(QStringLiteral("commandText"));
    text_->setAccessibleName(tr("命令"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(kit::font(TextStyle::caption).pointSizeF());
    text_->setFont(fixed);
    text_->document()->setDefaultFont(fixed);
    // The text keeps the window's text colour on the box's fill.
    QPalette palette = text_->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, Qt::transparent);
        palette.setColor(group, QPalette::Text, palette.color(group, QPalette::WindowText));
    }
    text_->setPalette(palette);
    text_->setPlainText(unbreakable(command));

    copy_->setObjectName(QStringLiteral("copyCommand"));
    copy_->setAccessibleName(tr("复制命令"));
    copy_->setToolTip(tr("复制命令"));
    copy_->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 6, 6);
    layout->setSpacing(8);
    layout->addWidget(text_, 1);
    layout->addWidget(copy_, 0, Qt::AlignTop);

    connect(copy_, &QPushButton::clicked, this, [this] {
        QGuiApplication::clipboard()->setText(command_);
        Q_EMIT copied();
    });
}

}  // namespace glidra::kit
