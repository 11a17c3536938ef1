// A small streaming JSON writer for the command-line tool's output. Texts are
// given as UTF-8; floats are written in their shortest form that reads back to
// the same single-precision value, and non-finite floats as the strings
// "nan", "inf" and "-inf". The compact form has no spaces or line breaks; the
// pretty form puts every member on a line of its own, indented by two spaces
// per level. Output is collected in a buffer and handed to the stream in large
// blocks.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace rebound::cli {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out, bool pretty = true) : out_(out), pretty_(pretty) {
        buffer_.reserve(kBlock + 4096);
    }
    ~JsonWriter() { flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // Starts a member of the current object; the next value belongs to it.
    void key(std::string_view name);

    void string(std::string_view utf8);
    void integer(std::int64_t v);
    void number(float v);
    void boolean(bool v);

    // Shorthands for key + value.
    void member(std::string_view name, std::string_view utf8) {
        key(name);
        string(utf8);
    }
    void member(std::string_view name, std::int64_t v) {
        key(name);
        integer(v);
    }
    void member(std::string_view name, float v) {
        key(name);
        number(v);
    }

    // Hands what is buffered to the stream; false once the stream has failed.
    bool flush();

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;

    void before_value();
    void write_escaped(std::string_view s);
    void newline();
    void put(char c) { buffer_.push_back(c); }
    void put(std::string_view s) { buffer_.append(s); }
    void maybe_flush() {
        if (buffer_.size() >= kBlock) flush();
    }

    std::ostream& out_;
    bool pretty_;
    std::string buffer_;
    struct Level {
        bool is_object;
        bool empty;
    };
    std::vector<Level> stack_;
    bool after_key_ = false;
};

}  // namespace rebound::cli
