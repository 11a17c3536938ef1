// Little-endian binary reading and writing with checked lengths.
//
// ByteReader reads from memory or from a std::istream (through its own buffer)
// and knows how many bytes remain, so that every length and count read from a
// file can be compared with what the file can still hold before anything is
// allocated. A short read throws FormatError naming the field and the byte
// offset at which the data ran out.
//
// ByteWriter collects bytes in memory and, when given a sink, hands them on in
// large blocks; a failing sink throws WriteError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rebound {

namespace platform {
class ByteSink;
}

// The data is cut short or inconsistent. what() says where.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The destination refused bytes (full disk, closed device).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteReader {
public:
    // Reads from bytes that outlive the reader.
    explicit ByteReader(std::string_view bytes);
    // Reads from the stream's current position. When the reader is destroyed
    // the stream is put back at the position just after the last byte the
    // reader consumed, so that a record read leaves the stream positioned as
    // field-by-field reads would. A stream that cannot seek (a pipe) is read
    // to its end at once, so that its size is known.
    explicit ByteReader(std::istream& in);
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    // Offset of the next byte from where the reader started.
    std::uint64_t offset() const { return consumed_ + pos_; }
    // Bytes that remain to be read.
    std::uint64_t remaining() const { return total_ - offset(); }

    // Reads exactly n bytes or throws FormatError("... <what> ...").
    void read(void* dst, std::size_t n, std::string_view what);
    // Reads up to n bytes; returns how many were read. Never throws.
    std::size_t read_some(void* dst, std::size_t n);
    void skip(std::size_t n, std::string_view what);

    std::uint8_t u8(std::string_view what);
    std::uint32_t u32(std::string_view what);
    std::int32_t i32(std::string_view what);
    float f32(std::string_view what);

    // A text stored as a signed 32-bit length followed by that many bytes; the
    // value is cut at the first zero byte. A negative length, or one larger
    // than what remains, throws before anything is allocated.
    std::string text(std::string_view what);
    // A fixed-width text field of n bytes, ending at its first zero byte.
    std::string fixed_text(std::size_t n, std::string_view what);

    // Throws FormatError unless `count` items of at least `item_size` bytes
    // each can fit in what remains.
    void require(std::uint64_t count, std::uint64_t item_size, std::string_view what) const;

private:
    bool refill();
    [[noreturn]] void fail_short(std::size_t wanted, std::size_t got, std::string_view what) const;

    const char* data_ = nullptr;  // current buffer
    std::size_t size_ = 0;        // bytes in the buffer
    std::size_t pos_ = 0;         // next byte in the buffer
    std::uint64_t consumed_ = 0;  // bytes of earlier buffers
    std::uint64_t total_ = 0;     // bytes available from the start
    std::istream* stream_ = nullptr;
    std::int64_t stream_start_ = -1;
    std::string buffer_;
};

class ByteWriter {
public:
    // Collects everything in memory (see bytes()).
    ByteWriter() = default;
    // Passes bytes on to the sink in blocks; flush() sends the rest.
    explicit ByteWriter(platform::ByteSink& sink);

    void write(const void* src, std::size_t n);
    void u8(std::uint8_t v) { write(&v, 1); }
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v);
    // Signed 32-bit length, then the bytes.
    void text(std::string_view s);
    // Exactly n bytes: the text cut to n, padded with zero bytes.
    void fixed_text(std::string_view s, std::size_t n);

    void flush();
    // Everything written so far (memory mode only).
    const std::string& bytes() const { return buffer_; }
    std::uint64_t size() const { return flushed_ + buffer_.size(); }

private:
    std::string buffer_;
    platform::ByteSink* sink_ = nullptr;
    std::uint64_t flushed_ = 0;
};

// Little-endian decoding from a byte array, for readers that take a whole
// record at once.
inline std::uint32_t load_u32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline float load_f32(const unsigned char* p) {
    const std::uint32_t bits = load_u32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
inline void store_u32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline void store_f32(unsigned char* p, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    store_u32(p, bits);
}

}  // namespace rebound
