#include "views/kit/ResultLine.h"

namespace glidra::kit {

ResultLine::ResultLine(QWidget* parent) : SymbolLabel({}, {}, parent) {
    setTextStyle(TextStyle::callout);
    setResult(std::nullopt, false);
}

void ResultLine::setResult(const std::optional<QString>& message, bool isError) {
    message_ = message;
    isError_ = isError;
    setSymbol(isError ? QStringLiteral("exclamationmark.circle") : QStringLiteral("checkmark.circle"));
    setColour(isError ? KitColour::red : KitColour::secondary);
    setText(message.value_or(QString()));
    setVisible(message.has_value());
}

}  // namespace glidra::kit
