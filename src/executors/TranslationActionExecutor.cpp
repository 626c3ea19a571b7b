#include "executors/TranslationActionExecutor.h"

#include "common/Localized.h"
#include "platform/TextSelectionAccess.h"
#include "platform/TranslationPresenter.h"

namespace glidra {

namespace {

HUDNotice notice(const char* text, HUDNotice::Kind kind) {
    return HUDNotice{localized(text), QStringLiteral("translate"), kind};
}

}  // namespace

HUDNotice TranslationActionExecutor::execute() {
    if (!presenter_.isAvailable()) {
        return notice(GLIDRA_TEXT("Linux 上暂无系统翻译服务"), HUDNotice::Kind::information);
    }
    const auto text = selectedText();
    if (!text) {
        return notice(GLIDRA_TEXT("未读到选中文字，请在支持的应用中选中文本后重试"), HUDNotice::Kind::information);
    }
    presenter_.present(*text);
    return notice(GLIDRA_TEXT("翻译选中文字"), HUDNotice::Kind::success);
}

std::optional<QString> TranslationActionExecutor::selectedText() {
    auto element = elements_.focusedElement(messagingTimeout);
    for (int visited = 0; element && visited < elementsVisited; ++visited) {
        if (elements_.isSecureTextField(*element)) return std::nullopt;
        if (const auto text = elements_.selectedText(*element)) {
            const QString trimmed = text->trimmed();
            if (!trimmed.isEmpty()) return trimmed;
        }
        element = elements_.parent(*element);
    }
    return std::nullopt;
}

}  // namespace glidra
