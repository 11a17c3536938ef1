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
#include <optional>
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
    // How many of `values` the file did not hold: the reader pads a file that
    // ends inside the values by repeating the last value it read. A padded
    // curve can be shown, but it does not evaluate.
    std::int64_t padded_values = 0;

    // Every header field 0, no values.
    void reset();

    // Replaces the whole curve by the content of a curve file. The stream must
    // be opened in binary mode and positioned at the start of the file.
    // Never fails: a header field cut short by the end of the stream keeps 0;
    // when the stream ends inside the values, every missing value repeats the
    // one before it (0.0 when not even the first value is present) and is
    // counted in padded_values. A product row_count * column_count that is
    // zero, negative or above kMaxCurveValues leaves the curve without values.
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
// What a curve must offer before it evaluates: the rows and columns the
// evaluation reads (corrected mean rebound 20.0 to 60.0 in steps of 0.2,
// carbonation depth 0.0 to 6.0 mm in steps of 0.5), and strengths in this
// range (MPa; 0.0 marks a cell without a strength).
inline constexpr std::int32_t kEvaluationCurveRows = 201;
inline constexpr std::int32_t kEvaluationCurveColumns = 13;
inline constexpr float kMaxCurveStrength = 150.0f;

// Why a curve cannot evaluate.
struct CurveDefect {
    enum class Kind {
        Missing,          // no file of that name
        Folder,           // the name is a folder
        NotRegularFile,   // a device, a pipe or another special file
        CannotOpen,       // the file exists but does not open for reading
        TooSmall,         // fewer rows or columns than the evaluation reads
        ValuesMissing,    // the file ends before every announced value
        ValueNotFinite,   // a value is not a number or infinite
        ValueOutOfRange,  // a value lies outside 0 to kMaxCurveStrength
    };
    Kind kind = Kind::Missing;
    std::int32_t row_count = 0;  // TooSmall: the header's counts
    std::int32_t column_count = 0;
    std::int64_t announced = 0;  // ValuesMissing: values the header announces
    std::int64_t present = 0;    //   and values the file holds
    std::int32_t row = 0;        // ValueNotFinite, ValueOutOfRange: the cell,
    std::int32_t column = 0;     //   counted from 0,
    float value = 0.0f;          //   and its value

    bool operator==(const CurveDefect&) const = default;
};

// The one check that decides whether a loaded curve can evaluate: at least
// kEvaluationCurveRows rows and kEvaluationCurveColumns columns, every
// announced value present in the file, every value finite and within 0 to
// kMaxCurveStrength. nullopt when the curve is usable. The first defect
// found is reported; values in file order.
std::optional<CurveDefect> find_curve_defect(const Strength_Curve& curve);

// Reads the curve file at `path` for an evaluation: it must be a regular
// file that opens, and the curve read from it must pass find_curve_defect.
// `curve` receives the file's curve only when it is usable and is left
// untouched otherwise.
std::optional<CurveDefect> read_curve_for_evaluation(const std::filesystem::path& path,
                                                     Strength_Curve& curve);

// The defect as an English phrase for messages, without the file name, for
// example "it holds 1287 of the 2613 values its header announces".
std::string describe(const CurveDefect& defect);

}  // namespace rebound
