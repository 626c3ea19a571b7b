#pragma once

#include "views/pages/FeedbackCategory.h"

#include <QDialog>
#include <QUrl>

#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace glidra {

class TrackpadController;
class Workspace;
struct BundleInfo;

namespace kit {
class SegmentedControl;
class StyledLabel;
}  // namespace kit

// The feedback sheet: a category and a description, sent as a mail through
// the user's mail application. While it is up, gestures run no action.
class FeatureRequestView final : public QDialog {
    Q_OBJECT
public:
    FeatureRequestView(TrackpadController& controller, Workspace& workspace, const BundleInfo& bundle,
                       const QString& description, FeedbackCategory category, QWidget* parent = nullptr);
    ~FeatureRequestView() override;

    // The mail for a description: nothing when the trimmed description is
    // empty. Subject and body are percent-encoded completely, so that the
    // mail application reads them back exactly ("+" included).
    static std::optional<QUrl> mailURL(const QString& address, FeedbackCategory category, const QString& description,
                                       const BundleInfo& bundle);
    // Whether a build names a mailbox to write to: a reserved ".invalid"
    // address, or none, means it was not configured.
    static bool hasSupportAddress(const QString& address);
    // The report as one text, the subject line first, for a build without a
    // mailbox; nothing when the trimmed description is empty.
    static std::optional<QString> reportText(FeedbackCategory category, const QString& description,
                                             const BundleInfo& bundle);

    // With a mailbox: composes the mail and hands it to the desktop; closes
    // on success, shows the failure in the sheet otherwise. Without one:
    // copies the report, for the user to send where they choose.
    void sendMail();

    std::optional<QString> errorMessage() const { return errorMessage_; }

Q_SIGNALS:
    // The user's edits, kept by the button for the next opening.
    void descriptionEdited(const QString& description);
    void categoryChosen(glidra::FeedbackCategory category);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void beginRequest();
    void endRequest();
    void syncCategory();
    void syncSendButton();
    QString description() const;

    TrackpadController& controller_;
    Workspace& workspace_;
    const BundleInfo& bundle_;
    FeedbackCategory category_;
    std::optional<QString> errorMessage_;
    bool isRequesting_ = false;

    kit::SegmentedControl* picker_;
    kit::StyledLabel* prompt_;
    QPlainTextEdit* editor_;
    kit::StyledLabel* error_;
    QPushButton* send_;
    kit::StyledLabel* note_ = nullptr;
};

}  // namespace glidra
