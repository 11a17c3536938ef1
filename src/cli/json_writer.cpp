#include "cli/json_writer.h"

#include <charconv>
#include <cmath>

namespace rebound::cli {

void JsonWriter::newline() {
    out_ << '\n';
    for (std::size_t i = 0; i < stack_.size(); ++i) out_ << "  ";
}

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!stack_.empty()) {
        if (!stack_.back().empty) out_ << ',';
        stack_.back().empty = false;
        newline();
    }
}

void JsonWriter::begin_object() {
    before_value();
    out_ << '{';
    stack_.push_back({true, true});
}

void JsonWriter::end_object() {
    const bool empty = stack_.back().empty;
    stack_.pop_back();
    if (!empty) newline();
    out_ << '}';
    if (stack_.empty()) out_ << '\n';
}

void JsonWriter::begin_array() {
    before_value();
    out_ << '[';
    stack_.push_back({false, true});
}

void JsonWriter::end_array() {
    const bool empty = stack_.back().empty;
    stack_.pop_back();
    if (!empty) newline();
    out_ << ']';
}

void JsonWriter::key(std::string_view name) {
    if (!stack_.back().empty) out_ << ',';
    stack_.back().empty = false;
    newline();
    write_escaped(name);
    out_ << ": ";
    after_key_ = true;
}

void JsonWriter::string(std::string_view s) {
    before_value();
    write_escaped(s);
}

void JsonWriter::write_escaped(std::string_view s) {
    out_ << '"';
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out_ << "\\\"";
                break;
            case '\\':
                out_ << "\\\\";
                break;
            case '\n':
                out_ << "\\n";
                break;
            case '\r':
                out_ << "\\r";
                break;
            case '\t':
                out_ << "\\t";
                break;
            case '\b':
                out_ << "\\b";
                break;
            case '\f':
                out_ << "\\f";
                break;
            default:
                if (c < 0x20) {
                    static const char hex[] = "0123456789abcdef";
                    out_ << "\\u00" << hex[c >> 4] << hex[c & 15];
                } else {
                    out_ << static_cast<char>(c);
                }
        }
    }
    out_ << '"';
}

void JsonWriter::integer(std::int64_t v) {
    before_value();
    out_ << v;
}

void JsonWriter::number(float v) {
    if (std::isnan(v)) {
        string("nan");
        return;
    }
    if (std::isinf(v)) {
        string(v > 0 ? "inf" : "-inf");
        return;
    }
    before_value();
    char buf[64];
    // Shortest representation that reads back to exactly this float.
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out_.write(buf, res.ptr - buf);
}

void JsonWriter::boolean(bool v) {
    before_value();
    out_ << (v ? "true" : "false");
}

}  // namespace rebound::cli
