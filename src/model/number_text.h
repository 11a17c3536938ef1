// The forms in which numbers are shown, reported and written. Every figure
// uses "." whatever the locale says: the C library's printf follows the
// locale that Qt takes from the environment (a German desktop would print
// "33,8"), so these forms are built with std::to_chars, which is exact and
// knows no locale.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace rebound {

// The one-decimal form in which strengths and mean rebound values are shown
// and reported: C's "%.1f" of the stored single-precision value widened to
// double (fixed notation, the exact binary value rounded to the nearest
// tenth, exact halves to even). Panels, grid and report all use it so that
// the same value never reads differently in two places.
inline std::string one_decimal(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[400];  // the largest double has 309 digits before the point
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("?");
}

// The shortest text that reads back to the same single-precision value
// ("0.1", "-3.5", "1e+30"); "nan", "inf" and "-inf" for the values that are
// not finite.
inline std::string shortest_text(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace rebound
