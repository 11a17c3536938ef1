#include "settings/ini_file.h"

#include <vector>

namespace rebound {

namespace {

// A byte that starts a two-byte character in GBK; the byte after it is part
// of the same character whatever its value.
bool is_lead_byte(char ch) {
    const auto b = static_cast<unsigned char>(ch);
    return b >= 0x81 && b <= 0xFE;
}

// Position of the single-byte character `ch` in `text`, skipping the trail
// bytes of double-byte characters; npos when absent.
std::size_t find_single_byte(std::string_view text, char ch) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ch) return i;
        if (is_lead_byte(text[i])) ++i;
    }
    return std::string_view::npos;
}

bool is_blank(char ch) {
    return ch == ' ' || ch == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

struct Line {
    std::size_t begin;  // first byte of the line
    std::size_t end;    // one past the last byte before the line break
    std::size_t next;   // first byte of the next line (after the line break)
};

std::vector<Line> split_lines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t nl = content.find('\n', pos);
        if (nl == std::string_view::npos) {
            // A carriage return ending the file ends its last line, as it
            // will once the line break is completed.
            std::size_t end = content.size();
            if (content.back() == '\r') --end;
            lines.push_back({pos, end, content.size()});
            break;
        }
        std::size_t end = nl;
        if (end > pos && content[end - 1] == '\r') --end;
        lines.push_back({pos, end, nl + 1});
        pos = nl + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> section_name(std::string_view line) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const std::string_view inner = t.substr(1);
    const std::size_t close = find_single_byte(inner, ']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(inner.substr(0, close));
}

// The position of the equals sign of a "key=value" line whose key is `key`,
// or npos.
std::size_t key_line_equals(std::string_view line, std::string_view key) {
    const std::size_t eq = find_single_byte(line, '=');
    if (eq == std::string_view::npos) return eq;
    return trim(line.substr(0, eq)) == key ? eq : std::string_view::npos;
}

struct SectionSpan {
    std::size_t header = 0;  // index of the "[section]" line
    std::size_t end = 0;     // index of the next section's line, or the line count
    bool found = false;
};

SectionSpan find_section(std::string_view content, const std::vector<Line>& lines, std::string_view section) {
    SectionSpan span;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        const auto name = section_name(text);
        if (!name) continue;
        if (span.found) {
            span.end = i;
            return span;
        }
        if (*name == section) {
            span.found = true;
            span.header = i;
        }
    }
    span.end = lines.size();
    return span;
}

// Completes an unfinished last line: a lone carriage return gets its line
// feed, any other text the file's line break.
void finish_last_line(std::string& out, std::string_view eol) {
    if (out.empty() || out.back() == '\n') return;
    if (out.back() == '\r') {
        out.push_back('\n');
    } else {
        out.append(eol);
    }
}

std::string_view line_break_of(std::string_view content) {
    const std::size_t nl = content.find('\n');
    if (nl == std::string_view::npos) return "\r\n";
    return nl > 0 && content[nl - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::optional<std::string> ini_read_value(std::string_view content, std::string_view section,
                                          std::string_view key) {
    const std::vector<Line> lines = split_lines(content);
    const SectionSpan span = find_section(content, lines, section);
    if (!span.found) return std::nullopt;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        const std::size_t eq = key_line_equals(text, key);
        if (eq == std::string_view::npos) continue;
        std::string_view value = trim(text.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
    }
    return std::nullopt;
}

std::string ini_write_value(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::vector<Line> lines = split_lines(content);
    const std::string_view eol = line_break_of(content);
    const SectionSpan span = find_section(content, lines, section);
    std::string out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);

    if (!span.found) {
        out.append(content);
        finish_last_line(out, eol);
        out.append("[").append(section).append("]").append(eol);
        out.append(key).append("=").append(value).append(eol);
        return out;
    }

    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        const std::size_t eq = key_line_equals(text, key);
        if (eq == std::string_view::npos) continue;
        // Keep everything up to the equals sign and the line's own break.
        out.append(content.substr(0, lines[i].begin + eq + 1));
        out.append(value);
        out.append(content.substr(lines[i].end));
        return out;
    }

    // The key is missing: add it after the section's last line that is not
    // blank, so that blank lines separating sections stay where they are.
    std::size_t last = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
        if (!trim(text).empty()) last = i;
    }
    const Line& after = lines[last];
    out.append(content.substr(0, after.next));
    finish_last_line(out, eol);  // the section's last line may end the file
    out.append(key).append("=").append(value).append(eol);
    out.append(content.substr(after.next));
    return out;
}

}  // namespace rebound
