// Paired tests for building a strength curve of one's own. A pair is one
// specimen (a cube or a core): the mean rebound value measured on it, its
// carbonation depth and its crushing strength.
//
// Pairs arrive as CSV text:
//
//   rm,depth,strength          header, exactly these three names
//   31.2,1.5,28.4              one line per specimen
//
// UTF-8 with or without a byte order mark, lines ended by LF or CR LF,
// numbers with a decimal point. Blank lines are skipped; a cell may be quoted
// as spreadsheets quote them. Every other irregularity is an error that names
// the line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"

namespace rebound {

struct CurvePair {
    double rm = 0.0;        // mean rebound value
    double depth = 0.0;     // carbonation depth, mm
    double strength = 0.0;  // crushing strength, MPa

    bool operator==(const CurvePair&) const = default;
};

// The plausible range of each figure of a pair; a pair outside them is a
// typing or unit error (a strength in kPa, a rebound value of 300), not a
// specimen, and would stretch the curve's range to nonsense.
inline constexpr double kMinPairRebound = 10.0;
inline constexpr double kMaxPairRebound = 70.0;
inline constexpr double kMinPairDepth = 0.0;
inline constexpr double kMaxPairDepth = 6.0;  // mm, the curve's last column
inline constexpr double kMinPairStrength = 5.0;    // MPa
inline constexpr double kMaxPairStrength = 100.0;  // MPa

// The header line of a pairs file.
inline constexpr std::string_view kPairsHeader = "rm,depth,strength";

// What is wrong with one pair, as a phrase ("the strength must lie from 5.0
// to 100.0 MPa, not 250.0"), or nullopt when it can enter a fit: every figure
// finite and within its plausible range above.
std::optional<std::string> pair_defect(const CurvePair& pair);
// The column of the figure pair_defect objects to ("rm", "depth",
// "strength"), or nullptr for a pair without a defect.
const char* pair_defect_field(const CurvePair& pair);

// Reads pairs from CSV text. The first line that is not blank must be the
// header. A failure is Malformed, with the byte offset of the line, the field
// concerned ("rm", "depth", "strength" or empty for the line as a whole) and
// a message that starts "line N: ". `file` only names the error.
Result<std::vector<CurvePair>> parse_pairs_csv(std::string_view text, const std::filesystem::path& file = {});

// Reads a pairs file; CannotOpen when it does not open.
Result<std::vector<CurvePair>> read_pairs_csv(const std::filesystem::path& path);

// The pairs as CSV text with the header, LF line ends, figures in their
// shortest exact form.
std::string pairs_csv_text(const std::vector<CurvePair>& pairs);

// Parses one number as a pair file writes it: optional minus, digits, at most
// one decimal point, optionally an exponent; the whole text, nothing around
// it. nullopt for anything else (a decimal comma included).
std::optional<double> parse_pair_number(std::string_view text);

}  // namespace rebound
