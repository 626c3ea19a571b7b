#pragma once

#include "common/EnumTable.h"

#include <QString>

namespace glidra {

// The short result that executors, the dispatcher and the trackpad controller
// report to the user through the HUD.
struct HUDNotice {
    // Errors stay on screen longer and repeat less often.
    enum class Kind { success = 0, information = 1, error = 2 };

    QString text;    // Chinese message; its length also sizes the panel
    QString symbol;  // system symbol name drawn beside the text
    Kind kind = Kind::success;

    friend bool operator==(const HUDNotice&, const HUDNotice&) = default;
};

template <>
struct EnumTable<HUDNotice::Kind> {
    struct Row {
        HUDNotice::Kind value;
        const char* raw;
    };
    static constexpr Row cases[] = {
        {HUDNotice::Kind::success, "success"},
        {HUDNotice::Kind::information, "information"},
        {HUDNotice::Kind::error, "error"},
    };
};

}  // namespace glidra
