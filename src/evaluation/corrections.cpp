#include "evaluation/corrections.h"

#include <cmath>

namespace rebound {

const std::array<int, kAngleColumnCount> angle_degree_values = {0, 30, -30, 45, -45, 60, -60, 90, -90};

// clang-format off
const std::array<float, kAngleTableSize> angle_correction_table = {
//  0°    30°    -30°  45°    -45°  60°    -60°  90°    -90°       mean rebound
    0.0f, -3.0f, 2.5f, -4.0f, 3.0f, -5.0f, 3.5f, -6.0f, 4.0f,  // 20
    0.0f, -3.0f, 2.5f, -4.0f, 3.0f, -4.9f, 3.5f, -5.9f, 4.0f,  // 21
    0.0f, -2.9f, 2.4f, -3.9f, 2.9f, -4.8f, 3.4f, -5.8f, 3.9f,  // 22
    0.0f, -2.9f, 2.4f, -3.9f, 2.9f, -4.7f, 3.4f, -5.7f, 3.9f,  // 23
    0.0f, -2.8f, 2.3f, -3.8f, 2.8f, -4.6f, 3.3f, -5.6f, 3.8f,  // 24
    0.0f, -2.8f, 2.3f, -3.8f, 2.8f, -4.5f, 3.3f, -5.5f, 3.8f,  // 25
    0.0f, -2.7f, 2.2f, -3.7f, 2.7f, -4.4f, 3.2f, -5.4f, 3.7f,  // 26
    0.0f, -2.7f, 2.2f, -3.7f, 2.7f, -4.3f, 3.2f, -5.3f, 3.7f,  // 27
    0.0f, -2.6f, 2.1f, -3.6f, 2.6f, -4.2f, 3.1f, -5.2f, 3.6f,  // 28
    0.0f, -2.6f, 2.1f, -3.6f, 2.6f, -4.1f, 3.1f, -5.1f, 3.6f,  // 29
    0.0f, -2.5f, 2.0f, -3.5f, 2.5f, -4.0f, 3.0f, -5.0f, 3.5f,  // 30
    0.0f, -2.5f, 2.0f, -3.5f, 2.5f, -4.0f, 3.0f, -4.9f, 3.5f,  // 31
    0.0f, -2.4f, 1.9f, -3.4f, 2.4f, -3.9f, 2.9f, -4.8f, 3.4f,  // 32
    0.0f, -2.4f, 1.9f, -3.4f, 2.4f, -3.9f, 2.9f, -4.7f, 3.4f,  // 33
    0.0f, -2.3f, 1.8f, -3.3f, 2.3f, -3.8f, 2.8f, -4.6f, 3.3f,  // 34
    0.0f, -2.3f, 1.8f, -3.3f, 2.3f, -3.8f, 2.8f, -4.5f, 3.3f,  // 35
    0.0f, -2.2f, 1.7f, -3.2f, 2.2f, -3.7f, 2.7f, -4.4f, 3.2f,  // 36
    0.0f, -2.2f, 1.7f, -3.2f, 2.2f, -3.7f, 2.7f, -4.3f, 3.2f,  // 37
    0.0f, -2.1f, 1.6f, -3.1f, 2.1f, -3.6f, 2.6f, -4.2f, 3.1f,  // 38
    0.0f, -2.1f, 1.6f, -3.1f, 2.1f, -3.6f, 2.6f, -4.1f, 3.1f,  // 39
    0.0f, -2.0f, 1.5f, -3.0f, 2.0f, -3.5f, 2.5f, -4.0f, 3.0f,  // 40
    0.0f, -2.0f, 1.5f, -3.0f, 2.0f, -3.5f, 2.5f, -4.0f, 3.0f,  // 41
    0.0f, -1.9f, 1.4f, -2.9f, 1.9f, -3.4f, 2.4f, -3.9f, 2.9f,  // 42
    0.0f, -1.9f, 1.4f, -2.9f, 1.9f, -3.4f, 2.4f, -3.9f, 2.9f,  // 43
    0.0f, -1.8f, 1.3f, -2.8f, 1.8f, -3.3f, 2.3f, -3.8f, 2.8f,  // 44
    0.0f, -1.8f, 1.3f, -2.8f, 1.8f, -3.3f, 2.3f, -3.8f, 2.8f,  // 45
    0.0f, -1.7f, 1.2f, -2.7f, 1.7f, -3.2f, 2.2f, -3.7f, 2.7f,  // 46
    0.0f, -1.7f, 1.2f, -2.7f, 1.7f, -3.2f, 2.2f, -3.7f, 2.7f,  // 47
    0.0f, -1.6f, 1.1f, -2.6f, 1.6f, -3.1f, 2.1f, -3.6f, 2.6f,  // 48
    0.0f, -1.6f, 1.1f, -2.6f, 1.6f, -3.1f, 2.1f, -3.6f, 2.6f,  // 49
    0.0f, -1.5f, 1.0f, -2.5f, 1.5f, -3.0f, 2.0f, -3.5f, 2.5f,  // 50
};

const std::array<float, kSurfaceTableSize> surface_correction_table = {
//  Downwards  Upwards    mean rebound
    2.5f, -3.0f,  // 20
    2.4f, -2.9f,  // 21
    2.3f, -2.8f,  // 22
    2.2f, -2.7f,  // 23
    2.1f, -2.6f,  // 24
    2.0f, -2.5f,  // 25
    1.9f, -2.4f,  // 26
    1.8f, -2.3f,  // 27
    1.7f, -2.2f,  // 28
    1.6f, -2.1f,  // 29
    1.5f, -2.0f,  // 30
    1.4f, -1.9f,  // 31
    1.3f, -1.8f,  // 32
    1.2f, -1.7f,  // 33
    1.1f, -1.6f,  // 34
    1.0f, -1.5f,  // 35
    0.9f, -1.4f,  // 36
    0.8f, -1.3f,  // 37
    0.7f, -1.2f,  // 38
    0.6f, -1.1f,  // 39
    0.5f, -1.0f,  // 40
    0.4f, -0.9f,  // 41
    0.3f, -0.8f,  // 42
    0.2f, -0.7f,  // 43
    0.1f, -0.6f,  // 44
    0.0f, -0.5f,  // 45
    0.0f, -0.4f,  // 46
    0.0f, -0.3f,  // 47
    0.0f, -0.2f,  // 48
    0.0f, -0.1f,  // 49
    0.0f,  0.0f,  // 50
};
// clang-format on

int angle_degrees(int angle_index) {
    if (angle_index < 0 || angle_index >= kAngleColumnCount) return 0;
    return angle_degree_values[static_cast<std::size_t>(angle_index)];
}

double interpolate_rows(double fraction, double lower, double upper) {
    if (std::fabs(upper - lower) >= 0.05) return lower + (upper - lower) * fraction;
    return lower;
}

float correction_lookup(const float* table, int column_count, float value, int column) {
    // Limit to the rows of the table; a value that is not a number counts as
    // the first row, so that no lookup can leave the table.
    double v = value;
    if (!(v >= kCorrectionFirstRow)) v = kCorrectionFirstRow;
    if (v > kCorrectionLastRow) v = kCorrectionLastRow;

    // Whole tenths and whole units, both truncated: a value held just below a
    // tenth (35.1 as 35.0999985) counts as the tenth below it.
    const int tenths = static_cast<int>(10.0 * v);
    const int whole = static_cast<int>(v);
    const float* row = table + static_cast<std::ptrdiff_t>(whole - kCorrectionFirstRow) * column_count;
    if (tenths == 10 * whole) return row[column];
    // whole < 50 here, since 50.0 has no tenths, so the next row exists.
    return static_cast<float>(interpolate_rows(v - whole, row[column], row[column + column_count]));
}

}  // namespace rebound
