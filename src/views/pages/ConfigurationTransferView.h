#pragma once

#include "settings/ConfigurationArchive.h"
#include "views/kit/GroupBox.h"
#include "views/pages/ConfigurationImportPreview.h"
#include "views/pages/ConfigurationImportRequest.h"

#include <QPointer>
#include <QString>

#include <cstddef>
#include <optional>

class QPushButton;

namespace glidra {

struct ViewContext;

namespace kit {
class ResultLine;
}

// The general page's export and import section: writes the whole
// configuration to one JSON file, reads one back after the user confirmed
// it on a preview sheet, and undoes the last import. Gestures rest while a
// transfer runs: from the start of an export or undo to its end, and from
// the open panel of an import until its sheet closes or the section goes.
class ConfigurationTransferView final : public kit::GroupBox {
    Q_OBJECT
public:
    // One byte past the decoder's limit: a larger file reaches the decoder
    // too large and is refused, never read whole.
    static constexpr qint64 readLimit = ConfigurationArchive::maximumSize + 1;

    explicit ConfigurationTransferView(ViewContext& context, QWidget* parent = nullptr);
    ~ConfigurationTransferView() override;

    static QString exportFileName() { return QStringLiteral("Glidra-Configuration.json"); }

    // Each opens its panel; the work goes on once the user has chosen.
    void exportConfiguration();
    void chooseImportFile();
    void undoLastImport();

    const std::optional<ConfigurationImportRequest>& pendingImport() const { return pendingImport_; }
    ConfigurationImportPreview* sheet() const { return sheet_; }
    const std::optional<QString>& message() const { return message_; }
    bool hasError() const { return hasError_; }

private:
    void exportChosen(const std::optional<QString>& path, const QByteArray& bytes, std::size_t gestures);
    void importChosen(const std::optional<QString>& path);
    void confirmImport(const ConfigurationArchive& archive);
    // Closes the sheet and nothing else.
    void clearPendingImport();
    // Closes the sheet and lowers the flag.
    void cancelImport();
    // The sheet shows exactly while a request is pending, one per request.
    void setPendingImport(std::optional<ConfigurationImportRequest> request);
    void presentSheet(const ConfigurationImportRequest& request);
    void sheetDismissed(const QUuid& request);
    void setResult(std::optional<QString> message, bool isError);
    void setTransferring(bool transferring);
    void syncUndo();

    ViewContext& context_;
    std::optional<ConfigurationImportRequest> pendingImport_;
    std::optional<QString> message_;
    bool hasError_ = false;
    QPointer<ConfigurationImportPreview> sheet_;
    std::optional<QUuid> presentedRequest_;
    QPushButton* undo_;
    kit::ResultLine* result_;
};

}  // namespace glidra
