#include "views/kit/InputGrantList.h"

#include "common/Localized.h"
#include "platform/AccessibilityTrust.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/ShellCommandView.h"
#include "views/kit/SymbolLabel.h"

#include <QVBoxLayout>

namespace glidra::kit {

namespace {

QString grantName(InputGrant grant) {
    switch (grant) {
        case InputGrant::touchpad:
            return QStringLiteral("touchpad");
        case InputGrant::keyboards:
            return QStringLiteral("keyboards");
        case InputGrant::virtualInput:
            return QStringLiteral("virtualInput");
    }
    return {};
}

}  // namespace

InputGrantList::InputGrantList(const AccessibilityTrust& trust, QWidget* parent)
    : QWidget(parent), trust_(trust), rulesFolder_(shippedInputRulesFolder()) {
    setObjectName(QStringLiteral("inputGrants"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    for (const InputGrant grant : kInputGrants) {
        const QString name = grantName(grant);
        auto* rowWidget = new QWidget;
        rowWidget->setObjectName(QStringLiteral("inputGrant:") + name);
        auto* lines = new QVBoxLayout(rowWidget);
        lines->setContentsMargins(0, 0, 0, 0);
        lines->setSpacing(3);

        Row row;
        row.status = new SymbolLabel;
        row.status->setObjectName(QStringLiteral("inputGrantStatus:") + name);
        row.status->setTextStyle(TextStyle::callout);
        lines->addWidget(row.status);
        row.caption = new CaptionLine(features(grant));
        row.caption->setObjectName(QStringLiteral("inputGrantFeatures:") + name);
        lines->addWidget(row.caption);
        // Under a line saying they run as root, each to copy into a terminal.
        row.commands = new QWidget;
        auto* commandLines = new QVBoxLayout(row.commands);
        commandLines->setContentsMargins(0, 0, 0, 0);
        commandLines->setSpacing(3);
        commandLines->addWidget(new CaptionLine(localized(GLIDRA_TEXT("以 root 身份在终端中运行："))));
        const QStringList commands = inputGrantInstallCommands(grant, rulesFolder_, pkexecInstalled());
        for (qsizetype i = 0; i < commands.size(); ++i) {
            if (i > 0) commandLines->addWidget(new CaptionLine(localized(GLIDRA_TEXT("或者："))));
            auto* command = new ShellCommandView(commands[i]);
            command->setObjectName(QStringLiteral("inputGrantCommand:") + name +
                                   (i > 0 ? QStringLiteral(":%1").arg(i) : QString()));
            commandLines->addWidget(command);
        }
        lines->addWidget(row.commands);

        column->addWidget(rowWidget);
        rows_.emplace(grant, row);
    }
    refresh();
}

void InputGrantList::refresh() {
    // Through the service nothing reaches the user's other programs.
    const bool throughService = trust_.inputService() == InputService::answering;
    for (auto& [grant, row] : rows_) {
        const bool granted = trust_.hasInputGrant(grant);
        row.caption->setText(throughService ? features(grant) : features(grant) + ruleReach(grant));
        row.status->setSymbol(granted ? QStringLiteral("checkmark.circle") : QStringLiteral("xmark.circle"));
        row.status->setText(
            (granted ? localized(GLIDRA_TEXT("%1：已授权")) : localized(GLIDRA_TEXT("%1：未授权"))).arg(title(grant)));
        row.commands->setVisible(!granted);
    }
}

QString InputGrantList::title(InputGrant grant) {
    switch (grant) {
        case InputGrant::touchpad:
            return localized(GLIDRA_TEXT("触控板"));
        case InputGrant::keyboards:
            return localized(GLIDRA_TEXT("键盘"));
        case InputGrant::virtualInput:
            return localized(GLIDRA_TEXT("虚拟输入设备（/dev/uinput）"));
    }
    return {};
}

QString InputGrantList::features(InputGrant grant) {
    switch (grant) {
        case InputGrant::touchpad:
            return localized(
                GLIDRA_TEXT("识别手势，并运行无需模拟输入的动作：音量、亮度、防止休眠、显示桌面、打开应用和网站。"));
        case InputGrant::keyboards:
            return localized(GLIDRA_TEXT("用于手势要求的修饰键、打字防误触、按住的按键和键盘锁定。"));
        case InputGrant::virtualInput:
            return localized(GLIDRA_TEXT("用于发送快捷键、鼠标点击和滚动。"));
    }
    return {};
}

QString InputGrantList::ruleReach(InputGrant grant) {
    switch (grant) {
        case InputGrant::touchpad:
            return localized(GLIDRA_TEXT("授权后，你运行的任何程序都能读取触控板。"));
        case InputGrant::keyboards:
            return localized(GLIDRA_TEXT("授权后，你运行的任何程序都能读取你输入的每个按键。"));
        case InputGrant::virtualInput:
            return localized(GLIDRA_TEXT("授权后，你运行的任何程序都能模拟按键和点击。"));
    }
    return {};
}

}  // namespace glidra::kit
