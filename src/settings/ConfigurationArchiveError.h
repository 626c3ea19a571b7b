#pragma once

#include "common/EnumTable.h"
#include "common/Localized.h"

#include <QString>

namespace glidra {

// Why a configuration archive was refused, or an import could not be taken
// back. Each case has one user text; the first failed check decides.
enum class ConfigurationArchiveError {
    invalidFile,
    unsupportedVersion,
    invalidValues,
    invalidGestures,
    invalidEdges,
    tooLarge,
    noBackup,
    // An import or undo whose changes could not be saved; its text takes the
    // store's reason.
    notSaved,
};

template <>
struct EnumTable<ConfigurationArchiveError> {
    struct Row {
        ConfigurationArchiveError value;
        const char* raw;
        const char* title;
    };
    using E = ConfigurationArchiveError;
    static constexpr Row cases[] = {
        {E::invalidFile, "invalidFile", GLIDRA_TEXT("无法识别此配置，请选择 Glidra 导出的配置文件。")},
        {E::unsupportedVersion, "unsupportedVersion",
         GLIDRA_TEXT("此配置的格式版本不受支持，请使用相应版本的 Glidra。")},
        {E::invalidValues, "invalidValues", GLIDRA_TEXT("配置中的灵敏度或边缘宽度超出有效范围。")},
        {E::invalidGestures, "invalidGestures", GLIDRA_TEXT("手势配置包含重复规则或无效的指头数量、触发区域。")},
        {E::invalidEdges, "invalidEdges", GLIDRA_TEXT("边缘配置不完整或包含无效的方向设置。")},
        {E::tooLarge, "tooLarge", GLIDRA_TEXT("配置文件过大，请选择小于 10 MB 的文件。")},
        {E::noBackup, "noBackup", GLIDRA_TEXT("没有可恢复的导入前配置。")},
        {E::notSaved, "notSaved", GLIDRA_TEXT("无法保存设置：%1")},
    };
};

// Why an import or undo failed: the archive's error, with the store's reason
// when the settings could not be saved.
struct ConfigurationTransferError {
    ConfigurationArchiveError error;
    QString reason;

    ConfigurationTransferError(ConfigurationArchiveError error, QString reason = {})  // NOLINT: implicit by design
        : error(error), reason(std::move(reason)) {}
    friend bool operator==(const ConfigurationTransferError&, const ConfigurationTransferError&) = default;
};

// The text the user is shown for the failure.
QString localizedDescription(ConfigurationArchiveError error);
QString localizedDescription(const ConfigurationTransferError& failure);

}  // namespace glidra
