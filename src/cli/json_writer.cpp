#include "cli/json_writer.h"

#include <charconv>
#include <cmath>

namespace rebound::cli {

void JsonWriter::newline() {
    if (!pretty_) return;
    put('\n');
    buffer_.append(2 * stack_.size(), ' ');
}

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!stack_.empty()) {
        if (!stack_.back().empty) put(',');
        stack_.back().empty = false;
        newline();
    }
}

void JsonWriter::begin_object() {
    before_value();
    put('{');
    stack_.push_back({true, true});
}

void JsonWriter::end_object() {
    const bool empty = stack_.back().empty;
    stack_.pop_back();
    if (!empty) newline();
    put('}');
    if (stack_.empty()) put('\n');
    maybe_flush();
}

void JsonWriter::begin_array() {
    before_value();
    put('[');
    stack_.push_back({false, true});
}

void JsonWriter::end_array() {
    const bool empty = stack_.back().empty;
    stack_.pop_back();
    if (!empty) newline();
    put(']');
}

void JsonWriter::key(std::string_view name) {
    if (!stack_.back().empty) put(',');
    stack_.back().empty = false;
    newline();
    write_escaped(name);
    put(pretty_ ? std::string_view(": ") : std::string_view(":"));
    after_key_ = true;
}

void JsonWriter::string(std::string_view s) {
    before_value();
    write_escaped(s);
}

void JsonWriter::write_escaped(std::string_view s) {
    put('"');
    std::size_t plain = 0;  // start of the run of bytes that need no escape
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        buffer_.append(s.data() + plain, i - plain);
        plain = i + 1;
        switch (c) {
            case '"':
                put("\\\"");
                break;
            case '\\':
                put("\\\\");
                break;
            case '\n':
                put("\\n");
                break;
            case '\r':
                put("\\r");
                break;
            case '\t':
                put("\\t");
                break;
            case '\b':
                put("\\b");
                break;
            case '\f':
                put("\\f");
                break;
            default: {
                static const char hex[] = "0123456789abcdef";
                const char escaped[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
                buffer_.append(escaped, sizeof escaped);
            }
        }
    }
    buffer_.append(s.data() + plain, s.size() - plain);
    put('"');
}

void JsonWriter::integer(std::int64_t v) {
    before_value();
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    buffer_.append(buf, static_cast<std::size_t>(res.ptr - buf));
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
    buffer_.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

void JsonWriter::boolean(bool v) {
    before_value();
    put(v ? std::string_view("true") : std::string_view("false"));
}

bool JsonWriter::flush() {
    if (!buffer_.empty()) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    return static_cast<bool>(out_);
}

}  // namespace rebound::cli
