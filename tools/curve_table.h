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

#include "evaluation/curve_fit.h"
#include "evaluation/strength_curve.h"

namespace rebound::tools {

// Fills `curve` from the table: row_count and column_count from the table's
// size, the four auxiliary header fields 0, the strengths row by row. False,
// with a one-line description in `error`, when the table is malformed (a row
// with the wrong number of cells, a cell that is not a number, rebound values
// that do not rise, no rows at all).
bool curve_from_csv(std::istream& in, Strength_Curve& curve, std::string& error);

// The published regression of the 2011 edition of the rebound method for
// pumped concrete, f = 0.034488 * Rm^1.9400 * 10^(-0.0173 * dm), over Rm
// 20.0 to 60.0 and dm 0.0 to 6.0 mm; strengths outside 10.0 to 60.0 MPa are
// no strengths. build_curve turns it into the shipped pumped2011.cur.
CurveFormula pumped_concrete_2011();

}  // namespace rebound::tools
