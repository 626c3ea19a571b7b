#pragma once

#include "notices/HUDNotice.h"
#include "platform/SystemPower.h"

#include <QCoro/QCoroTask>

namespace glidra {

// Puts the computer to sleep and says how that went.
class SystemPowerAction {
public:
    explicit SystemPowerAction(SystemPower& power) : power_(power) {}

    QCoro::Task<HUDNotice> sleep();

private:
    SystemPower& power_;
};

}  // namespace glidra
