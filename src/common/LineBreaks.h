#pragma once

#include <QChar>

namespace glidra {

// The characters that end a line: line feed, vertical tab, form feed,
// carriage return, next line, line separator and paragraph separator.
constexpr bool isLineBreak(QChar c) {
    switch (c.unicode()) {
        case 0x000A:
        case 0x000B:
        case 0x000C:
        case 0x000D:
        case 0x0085:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return false;
    }
}

}  // namespace glidra
