#include "executors/SystemPowerAction.h"

#include "common/Localized.h"

namespace glidra {

HUDNotice SystemPowerAction::sleep() {
    const QString symbol = QStringLiteral("moon.zzz");
    switch (power_.sleep()) {
        case SystemPower::SleepResult::unavailable:
            return {localized(GLIDRA_TEXT("无法连接系统电源管理")), symbol, HUDNotice::Kind::error};
        case SystemPower::SleepResult::refused:
            return {localized(GLIDRA_TEXT("系统未能进入休眠")), symbol, HUDNotice::Kind::error};
        case SystemPower::SleepResult::sleeping:
            break;
    }
    return {localized(GLIDRA_TEXT("正在休眠")), symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
