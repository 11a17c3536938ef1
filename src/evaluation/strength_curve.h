// A strength conversion curve: a table of strengths (MPa) indexed by the
// corrected mean rebound value (rows) and the carbonation depth (columns),
// read from a curve file (".cur").
//
// File layout (little-endian): six 4-byte header fields in the order of the
// members below, then row_count * column_count single-precision values, row 0
// first. Nothing else: no signature, no checksum; trailing bytes are ignored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/file_error.h"

namespace rebound {

// Largest number of values a curve may announce; a header asking for more is
// treated as corrupt and yields a curve without values.
inline constexpr std::int64_t kMaxCurveValues = 1'000'000;

// Size in bytes of the header of a curve file.
inline constexpr std::size_t kCurveHeaderSize = 24;

struct Strength_Curve {
    std::int32_t row_count = 0;
    std::int32_t column_count = 0;
    std::int32_t aux_int_1 = 0;
    float aux_real_1 = 0.0f;
    std::int32_t aux_int_2 = 0;
    float aux_real_2 = 0.0f;
    // Row r, column c at position r * column_count + c.
    std::vector<float> values;

    // Every header field 0, no values.
    void reset();

    // Replaces the whole curve by the content of a curve file. The stream must
    // be opened in binary mode and positioned at the start of the file.
    // Never fails: a header field cut short by the end of the stream keeps 0;
    // when the stream ends inside the values, every missing value repeats the
    // one before it (0.0 when not even the first value is present). A product
    // row_count * column_count that is zero, negative or above
    // kMaxCurveValues leaves the curve without values.
    void read_from(std::istream& in);

    // The curve as the bytes of a curve file: header, then
    // row_count * column_count values, missing ones written as 0.0.
    std::string to_bytes() const;

    bool operator==(const Strength_Curve&) const = default;
};

// Reads the curve file at `path` with Strength_Curve::read_from. Fails only
// when the file cannot be opened (CannotOpen: missing, a folder, no
// permission); what a file holds never fails the read.
Result<Strength_Curve> read_curve_file(const std::filesystem::path& path);

}  // namespace rebound
