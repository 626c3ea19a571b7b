#pragma once

#include "common/Localized.h"
#include "notices/HUDNotice.h"

namespace glidra {

// The answer of an action that needs the desktop's trust for synthesised and
// intercepted input, asked before it runs, when the process lacks it.
inline HUDNotice inputAccessRequiredNotice() {
    return HUDNotice{localized(GLIDRA_TEXT("请在通用设置中授权访问输入设备")), QStringLiteral("lock.fill"),
                     HUDNotice::Kind::error};
}

}  // namespace glidra
