#include "executors/SystemPowerAction.h"

#include "common/Localized.h"

namespace glidra {

QCoro::Task<HUDNotice> SystemPowerAction::sleep() {
    const QString symbol = QStringLiteral("moon.zzz");
    auto asking = power_.sleep();
    switch (co_await asking) {
        case SystemPower::SleepResult::unavailable:
            co_return HUDNotice{localized(GLIDRA_TEXT("无法连接系统电源管理")), symbol, HUDNotice::Kind::error};
        case SystemPower::SleepResult::refused:
            co_return HUDNotice{localized(GLIDRA_TEXT("系统未能进入休眠")), symbol, HUDNotice::Kind::error};
        case SystemPower::SleepResult::sleeping:
            break;
    }
    co_return HUDNotice{localized(GLIDRA_TEXT("正在休眠")), symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
