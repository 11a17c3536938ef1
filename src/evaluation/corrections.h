// The two correction tables of the mean rebound value (hammer angle, tested
// surface) and their lookup routine. Constant data, never read from a file.
#pragma once

#include <array>
#include <cstddef>

namespace rebound {

// Rows of both tables: mean rebound values 20 to 50.
inline constexpr int kCorrectionFirstRow = 20;
inline constexpr int kCorrectionLastRow = 50;
inline constexpr int kCorrectionRowCount = kCorrectionLastRow - kCorrectionFirstRow + 1;
inline constexpr int kAngleColumnCount = 9;
inline constexpr int kSurfaceColumnCount = 2;
inline constexpr std::size_t kAngleTableSize =
    std::size_t{kCorrectionRowCount} * std::size_t{kAngleColumnCount};
inline constexpr std::size_t kSurfaceTableSize =
    std::size_t{kCorrectionRowCount} * std::size_t{kSurfaceColumnCount};

// Hammer angle in degrees for each angle_index 0 to 8.
extern const std::array<int, kAngleColumnCount> angle_degree_values;

// 31 rows x 9 columns, row-major: row r for mean rebound value 20 + r, column
// c for angle_index c. The value is added to the mean rebound value.
extern const std::array<float, kAngleTableSize> angle_correction_table;

// 31 rows x 2 columns, row-major: column 0 for the surface "Downwards",
// column 1 for "Upwards". "Horizontal" has no column and no correction.
extern const std::array<float, kSurfaceTableSize> surface_correction_table;

// Degrees of an angle_index; 0 for an index outside 0 to 8.
int angle_degrees(int angle_index);

// Correction read from `table` (one of the two tables above, with
// `column_count` columns) at the mean rebound value `value`, in `column`
// (0 to column_count - 1, guaranteed by the caller). The value is limited to
// 20.0 to 50.0; when its first decimal is 0 (after truncation, never
// rounding) the row is read directly, otherwise the two neighbouring rows are
// interpolated.
float correction_lookup(const float* table, int column_count, float value, int column);

// Linear interpolation between two neighbouring rows; neighbours that differ
// by less than 0.05 give `lower`.
double interpolate_rows(double fraction, double lower, double upper);

}  // namespace rebound
