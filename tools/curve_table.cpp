#include "curve_table.h"

#include <charconv>
#include <istream>
#include <vector>

namespace rebound::tools {

namespace {

std::vector<std::string_view> split_cells(std::string_view line) {
    std::vector<std::string_view> cells;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        cells.push_back(line.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return cells;
        start = comma + 1;
    }
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A number cell; a blank cell is 0.0.
bool parse_cell(std::string_view cell, float& value) {
    cell = trim(cell);
    if (cell.empty()) {
        value = 0.0f;
        return true;
    }
    if (cell.front() == '+') cell.remove_prefix(1);
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return ec == std::errc() && end == cell.data() + cell.size();
}

}  // namespace

bool curve_from_csv(std::istream& in, Strength_Curve& curve, std::string& error) {
    curve.reset();
    std::string line;
    std::size_t line_number = 0;
    std::size_t columns = 0;
    float previous_rebound = 0.0f;
    std::vector<float> values;
    std::int64_t rows = 0;
    while (std::getline(in, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line_number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (trim(line).empty()) continue;
        const std::vector<std::string_view> cells = split_cells(line);
        if (columns == 0) {
            if (cells.size() < 2) {
                error =
                    "line " + std::to_string(line_number) + ": the heading needs a row axis and one column";
                return false;
            }
            columns = cells.size() - 1;
            continue;
        }
        const std::string where = "line " + std::to_string(line_number) + ": ";
        if (cells.size() != columns + 1) {
            error = where + std::to_string(cells.size()) + " cells, expected " + std::to_string(columns + 1);
            return false;
        }
        float rebound = 0.0f;
        if (trim(cells[0]).empty() || !parse_cell(cells[0], rebound)) {
            error = where + "the rebound value is not a number";
            return false;
        }
        if (rows > 0 && !(rebound > previous_rebound)) {
            error = where + "rebound values must rise from row to row";
            return false;
        }
        previous_rebound = rebound;
        for (std::size_t c = 1; c < cells.size(); ++c) {
            float v = 0.0f;
            if (!parse_cell(cells[c], v)) {
                error = where + "cell " + std::to_string(c + 1) + " is not a number";
                return false;
            }
            values.push_back(v);
        }
        ++rows;
        if (rows * static_cast<std::int64_t>(columns) > kMaxCurveValues) {
            error = where + "the table is larger than a curve may be";
            return false;
        }
    }
    if (in.bad()) {
        error = "the table cannot be read";
        return false;
    }
    if (rows == 0) {
        error = "the table has no rows";
        return false;
    }
    curve.row_count = static_cast<std::int32_t>(rows);
    curve.column_count = static_cast<std::int32_t>(columns);
    curve.values = std::move(values);
    return true;
}

CurveFormula pumped_concrete_2011() {
    CurveFormula f;
    f.a = 0.034488;
    f.b = 1.9400;
    f.c = -0.0173;
    f.rm = {20.0, 60.0};
    f.depth = {0.0, 6.0};
    f.strength = {10.0, 60.0};
    return f;
}

}  // namespace rebound::tools
