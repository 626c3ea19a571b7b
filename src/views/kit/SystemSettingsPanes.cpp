#include "views/kit/SystemSettingsPanes.h"

#include "common/Localized.h"

namespace glidra::kit {

QString inputAccessInstruction() {
    return localized(GLIDRA_TEXT("用 sudo 运行 scripts/run 为 Glidra 安装输入设备规则，然后注销并重新登录。"));
}

}  // namespace glidra::kit
