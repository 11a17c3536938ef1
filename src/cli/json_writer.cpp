#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace rebound::cli {

JsonWriter::JsonWriter(std::ostream& out, bool pretty)
    : out_(out), pretty_(pretty), buffer_(std::make_unique<char[]>(kBlock)) {
    end_ = buffer_.get();
    limit_ = end_ + kBlock;
}

void JsonWriter::put(std::string_view s) {
    while (!s.empty()) {
        const std::size_t step = std::min(s.size(), kBlock);
        std::memcpy(room(step), s.data(), step);
        end_ += step;
        s.remove_prefix(step);
    }
}

void JsonWriter::newline() {
    if (!pretty_) return;
    put('\n');
    for (std::size_t i = 0; i < stack_.size(); ++i) put(std::string_view("  "));
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
    put('"');
    put(name);
    put(pretty_ ? std::string_view("\": ") : std::string_view("\":"));
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
        put(s.substr(plain, i - plain));
        plain = i + 1;
        switch (c) {
            case '"':
                put(std::string_view("\\\""));
                break;
            case '\\':
                put(std::string_view("\\\\"));
                break;
            case '\n':
                put(std::string_view("\\n"));
                break;
            case '\r':
                put(std::string_view("\\r"));
                break;
            case '\t':
                put(std::string_view("\\t"));
                break;
            case '\b':
                put(std::string_view("\\b"));
                break;
            case '\f':
                put(std::string_view("\\f"));
                break;
            default: {
                static const char hex[] = "0123456789abcdef";
                const char escaped[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
                put(std::string_view(escaped, sizeof escaped));
            }
        }
    }
    put(s.substr(plain));
    put('"');
}

void JsonWriter::integer(std::int64_t v) {
    before_value();
    char* at = room(24);
    end_ = std::to_chars(at, at + 24, v).ptr;
}

template <typename Float>
void JsonWriter::shortest(Float v) {
    if (std::isnan(v)) {
        string("nan");
        return;
    }
    if (std::isinf(v)) {
        string(v > 0 ? "inf" : "-inf");
        return;
    }
    before_value();
    // Converted as its own type: a float widened to double first would
    // show the widening's digits ("0.1" would become "0.10000000149011612").
    char* at = room(64);
    end_ = std::to_chars(at, at + 64, v).ptr;
}

void JsonWriter::number(float v) {
    shortest(v);
}

void JsonWriter::real(double v) {
    shortest(v);
}

void JsonWriter::null() {
    before_value();
    put(std::string_view("null"));
}

void JsonWriter::boolean(bool v) {
    before_value();
    put(v ? std::string_view("true") : std::string_view("false"));
}

void JsonWriter::fixed(double v, int decimals) {
    if (!std::isfinite(v)) {
        null();
        return;
    }
    before_value();
    char* at = room(400);  // the largest double has 309 digits before the point
    end_ = std::to_chars(at, at + 400, v, std::chars_format::fixed, decimals).ptr;
}

bool JsonWriter::flush() {
    const char* begin = buffer_.get();
    if (end_ != begin) {
        out_.write(begin, end_ - begin);
        end_ = buffer_.get();
    }
    // Through to the file: a full disk shows only when its buffer is written.
    out_.flush();
    return static_cast<bool>(out_);
}

}  // namespace rebound::cli
