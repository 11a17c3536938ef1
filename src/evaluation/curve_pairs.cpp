#include "evaluation/curve_pairs.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <system_error>

#include "model/number_text.h"
#include "platform/input_file.h"
#include "platform/text_codec.h"

namespace rebound {

namespace {

constexpr std::array<const char*, 3> kColumnNames = {"rm", "depth", "strength"};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Splits one CSV line into cells. A cell may be quoted ("..."), with ""
// standing for one quote inside. False when a quote is left open.
bool split_cells(std::string_view line, std::vector<std::string>& cells) {
    cells.clear();
    std::string cell;
    bool quoted = false;
    bool was_quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted) {
            if (ch == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    cell += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += ch;
            }
        } else if (ch == '"' && trim(cell).empty()) {
            quoted = true;
            was_quoted = true;
            cell.clear();
        } else if (ch == ',') {
            cells.push_back(was_quoted ? cell : std::string(trim(cell)));
            cell.clear();
            was_quoted = false;
        } else {
            if (!(was_quoted && (ch == ' ' || ch == '\t'))) cell += ch;
        }
    }
    if (quoted) return false;
    cells.push_back(was_quoted ? cell : std::string(trim(cell)));
    return true;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    }
    return out;
}

}  // namespace

std::optional<double> parse_pair_number(std::string_view text) {
    if (text.empty()) return std::nullopt;
    // Only what a spreadsheet or a person writes as a decimal number: the
    // C library's readers would also take "inf", "nan" and hexadecimal.
    for (const char ch : text) {
        const bool allowed = (ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e' || ch == 'E' ||
                             ch == '+';
        if (!allowed) return std::nullopt;
    }
    if (text.front() == '+') return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

namespace {

bool within(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

const char* pair_defect_field(const CurvePair& pair) {
    if (!within(pair.rm, kMinPairRebound, kMaxPairRebound)) return "rm";
    if (!within(pair.depth, kMinPairDepth, kMaxPairDepth)) return "depth";
    if (!within(pair.strength, kMinPairStrength, kMaxPairStrength)) return "strength";
    return nullptr;
}

std::optional<std::string> pair_defect(const CurvePair& pair) {
    const char* field = pair_defect_field(pair);
    if (!field) return std::nullopt;
    const auto range = [](const char* what, double low, double high, const char* unit, double value) {
        return std::string(what) + " must lie from " + one_decimal(low) + " to " + one_decimal(high) + unit +
               ", not " + one_decimal(value);
    };
    if (field == std::string_view("rm")) {
        return range("the rebound value", kMinPairRebound, kMaxPairRebound, "", pair.rm);
    }
    if (field == std::string_view("depth")) {
        return range("the carbonation depth", kMinPairDepth, kMaxPairDepth, " mm", pair.depth);
    }
    return range("the strength", kMinPairStrength, kMaxPairStrength, " MPa", pair.strength);
}

Result<std::vector<CurvePair>> parse_pairs_csv(std::string_view text, const std::filesystem::path& file) {
    FileError error;
    error.kind = FileError::Kind::Malformed;
    error.file = file;
    const auto fail = [&](std::size_t line_no, std::size_t offset, std::string field, const std::string& what) {
        error.offset = offset;
        error.field = std::move(field);
        error.message = "line " + std::to_string(line_no) + ": " + what;
        return Result<std::vector<CurvePair>>(error);
    };

    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
    std::vector<CurvePair> pairs;
    bool header_seen = false;
    std::size_t line_no = 0;
    std::vector<std::string> cells;
    while (pos < text.size()) {
        const std::size_t start = pos;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        pos = end + 1;
        ++line_no;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (trim(line).empty()) continue;

        if (!split_cells(line, cells)) return fail(line_no, start, {}, "a quoted cell is not closed");
        if (!header_seen) {
            bool header = cells.size() == kColumnNames.size();
            for (std::size_t i = 0; header && i < cells.size(); ++i) {
                header = lowered(trim(cells[i])) == kColumnNames[i];
            }
            if (!header) {
                return fail(line_no, start, {},
                            "the first line must be the header " + std::string(kPairsHeader) + ", not \"" +
                                platform::terminal_text(line, platform::kQuotedTextLimit) + "\"");
            }
            header_seen = true;
            continue;
        }
        if (cells.size() != kColumnNames.size()) {
            std::string what = std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells") +
                               " where 3 are expected (" + std::string(kPairsHeader) + ")";
            if (cells.size() > kColumnNames.size()) what += "; numbers take a decimal point, not a comma";
            return fail(line_no, start, {}, what);
        }
        std::array<double, 3> figures{};
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string& cell = cells[i];
            if (cell.empty()) return fail(line_no, start, kColumnNames[i], std::string(kColumnNames[i]) + " is empty");
            const std::optional<double> value = parse_pair_number(cell);
            if (!value) {
                std::string what = std::string(kColumnNames[i]) + " \"" +
                                   platform::terminal_text(cell, platform::kQuotedTextLimit) + "\" is not a number";
                if (cell.find(',') != std::string::npos) what += "; write a decimal point, not a comma";
                return fail(line_no, start, kColumnNames[i], what);
            }
            figures[i] = *value;
        }
        const CurvePair pair{figures[0], figures[1], figures[2]};
        if (const auto defect = pair_defect(pair)) return fail(line_no, start, pair_defect_field(pair), *defect);
        pairs.push_back(pair);
    }
    if (!header_seen) {
        error.offset = 0;
        error.message = "the file is empty; its first line must be the header " + std::string(kPairsHeader);
        return error;
    }
    return pairs;
}

Result<std::vector<CurvePair>> read_pairs_csv(const std::filesystem::path& path) {
    const Result<std::string> content = platform::read_small_file(path, "a table of pairs");
    if (!content) return content.error();
    return parse_pairs_csv(*content, path);
}

std::string pairs_csv_text(const std::vector<CurvePair>& pairs) {
    const auto number = [](double v) {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
        return std::string(buffer, r.ptr);
    };
    std::string out(kPairsHeader);
    out += '\n';
    for (const CurvePair& p : pairs) {
        out += number(p.rm) + ',' + number(p.depth) + ',' + number(p.strength) + '\n';
    }
    return out;
}

}  // namespace rebound
