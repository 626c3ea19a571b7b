#pragma once

#include <charconv>
#include <string>

namespace glidra::test {

// `value` with at most `digits` significant digits, as "%.*g" writes it in
// the C locale: expected texts stay the same in a decimal-comma locale.
inline std::string significant(double value, int digits) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    return std::string(text, result.ptr);
}

}  // namespace glidra::test
