#include "views/pages/FeatureRequestView.h"

#include "platform/BundleInfo.h"
#include "platform/Workspace.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/Ground.h"
#include "views/kit/KitColour.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/ScrollingBody.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/StyledLabel.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

constexpr int kSheetWidth = 500;

// The description field: a rounded rectangle on the text background with a
// faint border, around an editor 6 lines high at first that grows to 10 and
// then scrolls.
class DescriptionField final : public QWidget {
public:
    explicit DescriptionField(QPlainTextEdit* editor) : editor_(editor) {
        editor_->setFrameShape(QFrame::NoFrame);
        editor_->setTabChangesFocus(true);
        editor_->viewport()->setAutoFillBackground(false);
        editor_->setBackgroundRole(QPalette::Base);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(12, 12, 12, 12);
        layout->addWidget(editor_);
        connect(editor_->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this] { fitHeight(); });
        fitHeight();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor border = kit::colour(kit::KitColour::secondary, palette());
        border.setAlphaF(border.alphaF() * 0.2f);
        painter.setPen(QPen(border, 1));
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }

private:
    void fitHeight() {
        // A plain-text layout measures its height in lines.
        const int lines = std::clamp(int(editor_->document()->size().height()), 6, 10);
        editor_->setFixedHeight(lines * editor_->fontMetrics().lineSpacing() +
                                2 * int(editor_->document()->documentMargin()));
    }

    QPlainTextEdit* editor_;
};

}  // namespace

FeatureRequestView::FeatureRequestView(TrackpadController& controller, Workspace& workspace, const BundleInfo& bundle,
                                       const QString& description, FeedbackCategory category, QWidget* parent)
    : QDialog(parent),
      controller_(controller),
      workspace_(workspace),
      bundle_(bundle),
      category_(category),
      picker_(new kit::SegmentedControl),
      prompt_(new kit::StyledLabel({}, kit::TextStyle::body, kit::KitColour::secondary)),
      editor_(new QPlainTextEdit),
      error_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::red)),
      send_(new QPushButton(hasSupportAddress(bundle.supportAddress) ? tr("发送邮件") : tr("复制反馈内容"))) {
    setObjectName(QStringLiteral("featureRequest"));
    setWindowTitle(tr("反馈与帮助"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* heading = new kit::StyledLabel(tr("反馈与帮助"), kit::TextStyle::title2);
    heading->setTextStyle(kit::TextStyle::title2, QFont::Bold);
    QStringList titles;
    for (const auto value : enumAllCases<FeedbackCategory>()) titles << title(value);
    picker_->setOptions(titles);
    picker_->setObjectName(QStringLiteral("category"));
    picker_->setAccessibleName(tr("反馈类型"));
    prompt_->setObjectName(QStringLiteral("prompt"));
    prompt_->setWordWrap(true);
    editor_->setObjectName(QStringLiteral("description"));
    editor_->setAccessibleName(tr("反馈内容"));
    kit::keepPlaceholderLegible(editor_);
    editor_->setPlainText(description);
    const bool mails = hasSupportAddress(bundle_.supportAddress);
    auto* note = new kit::CaptionLine(mails ? tr("将打开邮件应用，发送至 %1。").arg(bundle_.supportAddress)
                                            : tr("复制后可粘贴到邮件、论坛或问题追踪中，发送到你选择的地方。"));
    note->setObjectName(QStringLiteral("mailNote"));
    note->setWordWrap(true);
    note_ = note;
    error_->setObjectName(QStringLiteral("errorMessage"));
    error_->setWordWrap(true);
    error_->setVisible(false);

    auto* cancel = new QPushButton(tr("取消"));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    send_->setObjectName(mails ? QStringLiteral("sendMail") : QStringLiteral("copyReport"));
    send_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(send_);

    // Above the buttons, what scrolls when the screen is small.
    auto* body = new QWidget;
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(18);
    bodyLayout->addWidget(heading);
    bodyLayout->addWidget(picker_, 0, Qt::AlignLeading);
    bodyLayout->addWidget(prompt_);
    bodyLayout->addWidget(new DescriptionField(editor_));
    bodyLayout->addWidget(note);
    bodyLayout->addWidget(error_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(18);
    layout->addWidget(new kit::ScrollingBody(body), 1);
    layout->addLayout(buttons);
    kit::fitSheetToScreen(this, kSheetWidth);
    // The sheet grows with the description field, as far as the screen lets it.
    connect(editor_->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { kit::fitHeightToContent(this); });

    syncCategory();
    syncSendButton();
    // Escape rejects the dialog, like "取消".
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(send_, &QPushButton::clicked, this, &FeatureRequestView::sendMail);
    connect(picker_, &kit::SegmentedControl::activated, this, [this](int index) {
        category_ = enumAllCases<FeedbackCategory>().at(std::size_t(index));
        syncCategory();
        Q_EMIT categoryChosen(category_);
    });
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        syncSendButton();
        Q_EMIT descriptionEdited(editor_->toPlainText());
    });
    connect(this, &QDialog::finished, this, &FeatureRequestView::endRequest);
}

FeatureRequestView::~FeatureRequestView() { endRequest(); }

void FeatureRequestView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!isRequesting_) beginRequest();
}

void FeatureRequestView::beginRequest() {
    isRequesting_ = true;
    controller_.setRequestingFeature(true);
    editor_->setFocus(Qt::OtherFocusReason);
}

void FeatureRequestView::endRequest() {
    if (!isRequesting_) return;
    isRequesting_ = false;
    controller_.setRequestingFeature(false);
}

QString FeatureRequestView::description() const { return editor_->toPlainText(); }

void FeatureRequestView::syncCategory() {
    picker_->setCurrentIndex(int(category_));
    prompt_->setText(prompt(category_));
    editor_->setPlaceholderText(placeholder(category_));
}

void FeatureRequestView::syncSendButton() { send_->setEnabled(!description().trimmed().isEmpty()); }

namespace {

// The description with the version below it; nothing for an empty one.
std::optional<QString> reportBody(const QString& description, const BundleInfo& bundle) {
    const QString trimmed = description.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    const QString versionText = bundle.shortVersion.value_or(QStringLiteral("1.0")) + QStringLiteral("（") +
                                bundle.version.value_or(QString()) + QStringLiteral("）");
    return trimmed + QStringLiteral("\n\n——\nGlidra ") + versionText;
}

}  // namespace

bool FeatureRequestView::hasSupportAddress(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    if (at <= 0 || at != address.lastIndexOf(QLatin1Char('@'))) return false;
    const QString domain = address.mid(at + 1).trimmed();
    return !domain.isEmpty() && !domain.endsWith(QStringLiteral(".invalid"), Qt::CaseInsensitive) &&
           domain.compare(QStringLiteral("invalid"), Qt::CaseInsensitive) != 0;
}

std::optional<QString> FeatureRequestView::reportText(FeedbackCategory category, const QString& description,
                                                      const BundleInfo& bundle) {
    const auto body = reportBody(description, bundle);
    if (!body) return std::nullopt;
    return mailSubject(category) + QStringLiteral("\n\n") + *body;
}

std::optional<QUrl> FeatureRequestView::mailURL(const QString& address, FeedbackCategory category,
                                                const QString& description, const BundleInfo& bundle) {
    const auto reported = reportBody(description, bundle);
    if (!reported) return std::nullopt;
    const QString& body = *reported;
    // Every reserved character escaped: a query builder would leave "+",
    // which mail applications read as a space.
    const QByteArray query =
        "subject=" + QUrl::toPercentEncoding(mailSubject(category)) + "&body=" + QUrl::toPercentEncoding(body);
    QUrl url = QUrl::fromEncoded("mailto:" + QUrl::toPercentEncoding(address, "@") + '?' + query, QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;
    return url;
}

void FeatureRequestView::sendMail() {
    if (!hasSupportAddress(bundle_.supportAddress)) {
        const auto report = reportText(category_, description(), bundle_);
        if (!report) return;
        QGuiApplication::clipboard()->setText(*report);
        note_->setText(tr("已复制反馈内容，可粘贴到你选择的地方发送。"));
        return;
    }
    const auto url = mailURL(bundle_.supportAddress, category_, description(), bundle_);
    if (!url) return;
    if (workspace_.openUrl(*url)) {
        accept();
        return;
    }
    errorMessage_ = tr("未能打开邮件应用，请检查默认邮件设置。");
    error_->setText(*errorMessage_);
    error_->setVisible(true);
    kit::fitHeightToContent(this);
}

}  // namespace glidra
