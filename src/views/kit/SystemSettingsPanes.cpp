#include "views/kit/SystemSettingsPanes.h"

#include "common/Localized.h"

namespace glidra::kit {

QString inputAccessInstruction() {
    return localized(GLIDRA_TEXT("在通用设置的“系统权限”中可以查看各项输入设备权限及其安装命令。"));
}

QString inputServiceStatus(InputService service) {
    switch (service) {
        case InputService::answering:
            return localized(
                GLIDRA_TEXT("输入服务 glidra-inputd 已安装并在响应：它只为 Glidra 读取触控板、键盘和鼠标，"
                            "并创建虚拟输入设备。"));
        case InputService::notAnswering:
            return localized(
                GLIDRA_TEXT("输入服务 glidra-inputd 已安装，但没有响应或拒绝了 Glidra：以 root 身份运行 "
                            "systemctl restart glidra-inputd.socket，然后重新检查。"));
        case InputService::notInstalled:
            break;
    }
    return localized(
        GLIDRA_TEXT("未安装输入服务 glidra-inputd（它只把输入设备交给 Glidra）：在 Glidra "
                    "的源代码文件夹中以 root 身份运行 su -c scripts/run 安装它。"));
}

QString inputRulesInstruction(InputService service) {
    if (service == InputService::answering) {
        return localized(
            GLIDRA_TEXT("有输入服务时无需这些 udev 规则。若键盘仍显示未授权，以 root 身份运行 "
                        "systemctl restart glidra-inputd.socket，然后重新启动 Glidra。"));
    }
    return localized(
        GLIDRA_TEXT("没有输入服务时，每项权限由一条 udev 规则授予。这是备用方式：每条规则会把设备"
                    "交给你运行的所有程序。只需安装要用的几项：在终端中运行对应的命令，然后返回这里。"));
}

QString inputGrantsInstruction(InputService service) {
    return inputServiceStatus(service) + inputRulesInstruction(service);
}

}  // namespace glidra::kit
