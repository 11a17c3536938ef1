// The one-decimal form in which strengths and mean rebound values are shown
// and reported: C's "%.1f" of the stored single-precision value widened to
// double (fixed notation, rounded to nearest with exact halves to even, as
// the C library does). Panels, grid and report all use it so that the same
// value never reads differently in two places.
#pragma once

#include <cstdio>
#include <string>

namespace rebound {

inline std::string one_decimal(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

}  // namespace rebound
