// Little-endian binary reading and writing with checked lengths.
//
// ByteReader reads from memory, from a byte source (a file, in blocks) or from
// a std::istream, and knows how many bytes remain, so that every length and
// count read from a file can be compared with what the file can still hold
// before anything is allocated. It never reads beyond the size a source
// announced, so the count of remaining bytes cannot run below zero when a
// file grows while it is read; a source that cannot announce a size (a pipe,
// FIFO or device) is taken in first, at most kMaxUnsizedBytes of it. A short
// read throws FormatError naming the field and the byte offset at which the
// data ran out.
//
// ByteWriter collects bytes in memory and, when given a sink, hands them on in
// blocks; a failing sink throws WriteError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"

namespace rebound {

namespace platform {
class ByteSink;
class ByteSource;
}  // namespace platform

// The data is cut short, inconsistent or too large to be read; error() says
// where (kind Malformed).
class FormatError : public FileFailure {
public:
    using FileFailure::FileFailure;
};

// The destination refused bytes (full disk, closed device) or the content
// cannot be stored in the format (kind WriteFailed).
class WriteError : public FileFailure {
public:
    using FileFailure::FileFailure;
};

// The most bytes taken from a source that cannot announce its size (a pipe,
// FIFO or device): 64 MiB, a project of some 12,000 components of 100 areas.
// Reading such a source needs its bytes in memory (its length checks compare
// with what it holds), so an endless device is refused once it has delivered
// this much. Regular files have no such limit.
inline constexpr std::uint64_t kMaxUnsizedBytes = std::uint64_t{64} << 20;

class ByteReader {
public:
    // Reads from bytes that outlive the reader.
    explicit ByteReader(std::string_view bytes);
    // Reads from a source that outlives the reader, from its current
    // position. Throws FormatError when a source without a size delivers
    // more than kMaxUnsizedBytes.
    explicit ByteReader(platform::ByteSource& source);
    // Reads from the stream's current position; a stream that can seek
    // announces its size, one that cannot (a pipe) is read like a source
    // without a size. When the reader is destroyed the stream is put back at
    // the position just after the last byte the reader consumed, so that a
    // record read leaves the stream positioned as field-by-field reads would.
    explicit ByteReader(std::istream& in);
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    // Offset of the next byte from where the reader started.
    std::uint64_t offset() const { return consumed_ + pos_; }
    // Bytes that remain to be read; never more than the source announced.
    std::uint64_t remaining() const { return total_ - offset(); }

    // Reads exactly n bytes or throws FormatError("... <what> ...").
    void read(void* dst, std::size_t n, std::string_view what) {
        if (n <= size_ - pos_) {  // all in the buffer
            std::memcpy(dst, data_ + pos_, n);
            pos_ += n;
            return;
        }
        read_slow(dst, n, what);
    }
    // The next n bytes (n at most kMaxTake) in one piece, valid until the
    // next call of the reader; throws FormatError when the data ends first.
    static constexpr std::size_t kMaxTake = 128;
    const unsigned char* take(std::size_t n, std::string_view what) {
        if (n <= size_ - pos_) {
            const auto* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
            pos_ += n;
            return p;
        }
        return take_slow(n, what);
    }
    // Reads up to n bytes; returns how many were read. Throws only when the
    // source reports a read error.
    std::size_t read_some(void* dst, std::size_t n);
    void skip(std::size_t n, std::string_view what);

    std::uint8_t u8(std::string_view what);
    std::uint32_t u32(std::string_view what);
    std::int32_t i32(std::string_view what);
    float f32(std::string_view what);

    // A text stored as a signed 32-bit length followed by that many bytes; the
    // value is cut at the first zero byte unless `keep_zero_bytes`. A negative
    // length, or one larger than what remains, throws before anything is
    // allocated. The second form reuses the storage of `out`.
    std::string text(std::string_view what);
    void text(std::string& out, std::string_view what, bool keep_zero_bytes = false);
    // A fixed-width text field of n bytes, ending at its first zero byte.
    std::string fixed_text(std::size_t n, std::string_view what);

    // Throws FormatError when bytes remain: `what` names what should have
    // been the end of the data ("the last component record"), `expected`
    // says where it should have ended and why (appended to the message).
    void require_end(std::string_view what, std::string_view expected) const;

    // Throws FormatError unless `count` items of at least `item_size` bytes
    // each can fit in what remains.
    void require(std::uint64_t count, std::uint64_t item_size, std::string_view what) const;

private:
    class StreamSource;

    void start_unsized();
    bool refill();
    void read_slow(void* dst, std::size_t n, std::string_view what);
    const unsigned char* take_slow(std::size_t n, std::string_view what);
    [[noreturn]] void fail_short(std::size_t wanted, std::size_t got, std::string_view what,
                                 bool length_of = false) const;
    // Fails at byte `at` inside `what` with the sentence `code` (arguments
    // `args`), whose English is `message`.
    [[noreturn]] void fail(std::uint64_t at, std::string_view what, std::string code,
                           std::vector<std::string> args, std::string message) const;

    const char* data_ = nullptr;  // current buffer
    std::size_t size_ = 0;        // bytes in the buffer
    std::size_t pos_ = 0;         // next byte in the buffer
    std::uint64_t consumed_ = 0;  // bytes of earlier buffers
    std::uint64_t total_ = 0;     // bytes available from the start
    platform::ByteSource* source_ = nullptr;  // null once everything is in memory
    std::unique_ptr<StreamSource> stream_;    // the istream adapter, when reading one
    std::vector<char> buffer_;
    unsigned char gathered_[kMaxTake] = {};
};

class ByteWriter {
public:
    // Collects everything in memory (see bytes()).
    ByteWriter() = default;
    // Passes bytes on to the sink in blocks; flush() sends the rest.
    explicit ByteWriter(platform::ByteSink& sink);

    void write(const void* src, std::size_t n);
    // Room for n bytes at the end of what was written, for the caller to fill
    // at once; valid until the next call of the writer.
    unsigned char* claim(std::size_t n);
    void u8(std::uint8_t v) { write(&v, 1); }
    void u32(std::uint32_t v);
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v);
    // Signed 32-bit length, then the bytes; a text longer than a length can
    // say throws WriteError naming `what`.
    void text(std::string_view s, std::string_view what = "a text");
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

// Runs `body` at the boundary between a reader or writer and its caller: a
// FileFailure it throws becomes the result's error, with `file` filled in, and
// any other error (running out of memory) an error of the given kind.
Result<void> at_file_boundary(const std::filesystem::path& file, FileError::Kind kind,
                              const std::function<void()>& body);

}  // namespace rebound
