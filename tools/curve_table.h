// Building a strength curve from a conversion table in CSV form, as used to
// generate the curve files the application ships.
//
// The CSV has a heading line (first cell the row axis, then one cell per
// column) and one line per curve row: the row's rebound value, then one
// strength per column. A blank cell is 0.0 (no strength there). Numbers use a
// decimal point. Line ends may be LF or CR LF.
#pragma once

#include <iosfwd>
#include <string>

#include "evaluation/strength_curve.h"

namespace rebound::tools {

// Fills `curve` from the table: row_count and column_count from the table's
// size, the four auxiliary header fields 0, the strengths row by row. False,
// with a one-line description in `error`, when the table is malformed (a row
// with the wrong number of cells, a cell that is not a number, rebound values
// that do not rise, no rows at all).
bool curve_from_csv(std::istream& in, Strength_Curve& curve, std::string& error);

}  // namespace rebound::tools
