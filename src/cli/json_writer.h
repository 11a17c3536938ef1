// A small streaming JSON writer for the command-line tool's output. Texts are
// given as UTF-8; floats are written in their shortest form that reads back to
// the same single-precision value, and non-finite floats as the strings
// "nan", "inf" and "-inf". The compact form has no spaces or line breaks; the
// pretty form puts every member on a line of its own, indented by two spaces
// per level. Output is collected in a buffer and handed to the stream in large
// blocks: a project dump writes hundreds of megabytes.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

namespace rebound::cli {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out, bool pretty = true);
    ~JsonWriter() { flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // Starts a member of the current object; the next value belongs to it.
    // Member names are the program's own and are written as they are: they
    // hold no character that JSON would need escaped.
    void key(std::string_view name);

    void string(std::string_view utf8);
    void integer(std::int64_t v);
    void number(float v);
    // A double in its shortest form that reads back to the same double;
    // "nan", "inf" and "-inf" as strings, as for floats.
    void real(double v);
    void boolean(bool v);
    void null();
    // A figure with a fixed number of decimals ("29.0", "1.100"), as the
    // figure is shown; not finite: null.
    void fixed(double v, int decimals);

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

    // Makes room for n more bytes in the buffer (n at most kBlock).
    char* room(std::size_t n) {
        if (static_cast<std::size_t>(limit_ - end_) < n) flush();
        return end_;
    }
    void put(char c) { *room(1) = c, ++end_; }
    void put(std::string_view s);
    void before_value();
    void write_escaped(std::string_view s);
    void newline();
    // Shortest form that reads back to exactly v; "nan", "inf" and "-inf"
    // as strings, since JSON has no such numbers.
    template <typename Float>
    void shortest(Float v);

    std::ostream& out_;
    bool pretty_;
    std::unique_ptr<char[]> buffer_;
    char* end_ = nullptr;    // end of what is buffered
    char* limit_ = nullptr;  // end of the buffer
    struct Level {
        bool is_object;
        bool empty;
    };
    std::vector<Level> stack_;
    bool after_key_ = false;
};

}  // namespace rebound::cli
