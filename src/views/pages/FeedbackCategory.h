#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

namespace glidra {

// What the user writes about, which sets the mail's subject.
enum class FeedbackCategory { problem, suggestion };

template <>
struct EnumTable<FeedbackCategory> {
    struct Row {
        FeedbackCategory value;
        const char* raw;
        const char* title;
        const char* mailSubject;
        const char* prompt;
        const char* placeholder;
    };
    static constexpr Row cases[] = {
        {FeedbackCategory::problem, "problem", GLIDRA_TEXT("遇到问题"), GLIDRA_TEXT("Glidra 问题反馈"),
         GLIDRA_TEXT("使用中遇到问题？告诉我们。"), GLIDRA_TEXT("描述遇到的问题和操作过程…")},
        {FeedbackCategory::suggestion, "suggestion", GLIDRA_TEXT("功能建议"), GLIDRA_TEXT("Glidra 功能请求"),
         GLIDRA_TEXT("希望 Glidra 增加什么？"), GLIDRA_TEXT("描述你想要的功能和使用场景…")},
    };
};

inline QString title(FeedbackCategory category) { return enumTitle(category); }
inline QString mailSubject(FeedbackCategory category) { return localized(enumRow(category).mailSubject); }
inline QString prompt(FeedbackCategory category) { return localized(enumRow(category).prompt); }
inline QString placeholder(FeedbackCategory category) { return localized(enumRow(category).placeholder); }

}  // namespace glidra
