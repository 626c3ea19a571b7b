#pragma once

#include "views/kit/SymbolLabel.h"

#include <optional>

namespace glidra::kit {

// The outcome of a settings action (an export, a test): a message with
// "checkmark.circle" in the secondary style, or "exclamationmark.circle" in
// red for an error; hidden while there is none.
class ResultLine : public SymbolLabel {
    Q_OBJECT
public:
    explicit ResultLine(QWidget* parent = nullptr);

    void setResult(const std::optional<QString>& message, bool isError);
    std::optional<QString> message() const { return message_; }
    bool isError() const { return isError_; }

private:
    std::optional<QString> message_;
    bool isError_ = false;
};

}  // namespace glidra::kit
