#include "views/kit/SystemSettingsPanes.h"

#include "common/Localized.h"

namespace glidra::kit {

QString inputAccessInstruction() {
    return localized(GLIDRA_TEXT("在通用设置的“系统权限”中可以查看各项输入设备权限及其安装命令。"));
}

QString inputGrantsInstruction() {
    return localized(
        GLIDRA_TEXT("每项权限由一条 udev 规则授予，只需安装要用的几项：在终端中运行对应的命令，然后返回这里。"));
}

}  // namespace glidra::kit
