#pragma once

#include "common/EnumTable.h"
#include "notices/HUDNotice.h"

#include <ostream>

namespace glidra {

// Lets gtest show a notice as its text, symbol and kind.
inline void PrintTo(const HUDNotice& notice, std::ostream* out) {
    *out << "{\"" << notice.text.toStdString() << "\", " << notice.symbol.toStdString() << ", "
         << enumRaw(notice.kind).toStdString() << '}';
}

namespace test {
inline HUDNotice notice(const char* text, const char* symbol, HUDNotice::Kind kind) {
    return HUDNotice{QString::fromUtf8(text), QString::fromUtf8(symbol), kind};
}
}  // namespace test

}  // namespace glidra
