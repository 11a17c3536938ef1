#include "fileio/byte_io.h"

#include <algorithm>
#include <istream>
#include <iterator>

#include "platform/files.h"

namespace rebound {

namespace {
constexpr std::size_t kReadBlock = 1 << 16;
constexpr std::size_t kWriteBlock = 1 << 16;
}  // namespace

ByteReader::ByteReader(std::string_view bytes)
    : data_(bytes.data()), size_(bytes.size()), total_(bytes.size()) {}

ByteReader::ByteReader(std::istream& in) : stream_(&in) {
    const std::istream::pos_type start = in.tellg();
    if (start != std::istream::pos_type(-1)) {
        in.seekg(0, std::ios::end);
        const std::istream::pos_type end = in.tellg();
        in.seekg(start);
        stream_start_ = static_cast<std::int64_t>(start);
        total_ = end > start ? static_cast<std::uint64_t>(end - start) : 0;
    } else {
        // Not seekable (a pipe): the size is unknown, so everything is taken
        // in first. Every length and count is then checked against the bytes
        // really there, instead of a corrupt one being allocated up front.
        in.clear();
        buffer_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        data_ = buffer_.data();
        size_ = total_ = buffer_.size();
        stream_ = nullptr;
        return;
    }
    buffer_.resize(kReadBlock);
    data_ = buffer_.data();
}

ByteReader::~ByteReader() {
    if (stream_ != nullptr && stream_start_ >= 0) {
        stream_->clear();
        stream_->seekg(static_cast<std::streamoff>(stream_start_ + static_cast<std::int64_t>(offset())));
    }
}

bool ByteReader::refill() {
    if (stream_ == nullptr) {
        return false;
    }
    consumed_ += pos_;
    pos_ = 0;
    size_ = 0;
    const std::streamsize n = stream_->rdbuf()->sgetn(buffer_.data(), std::streamsize(buffer_.size()));
    size_ = n > 0 ? std::size_t(n) : 0;
    if (size_ == 0) {
        // The stream is exhausted whatever its size said.
        total_ = consumed_;
    }
    return size_ > 0;
}

std::size_t ByteReader::read_some(void* dst, std::size_t n) {
    auto* out = static_cast<char*>(dst);
    std::size_t got = 0;
    while (got < n) {
        if (pos_ == size_ && !refill()) {
            break;
        }
        const std::size_t take = std::min(n - got, size_ - pos_);
        std::memcpy(out + got, data_ + pos_, take);
        pos_ += take;
        got += take;
    }
    return got;
}

void ByteReader::fail_short(std::size_t wanted, std::size_t got, std::string_view what) const {
    throw FormatError("the data ends inside " + std::string(what) + " at byte " + std::to_string(offset()) +
                      " (" + std::to_string(wanted) + " bytes expected, " + std::to_string(got) + " found)");
}

void ByteReader::read(void* dst, std::size_t n, std::string_view what) {
    if (pos_ + n <= size_) {  // fast path: all in the buffer
        std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
        return;
    }
    const std::size_t got = read_some(dst, n);
    if (got != n) {
        fail_short(n, got, what);
    }
}

void ByteReader::skip(std::size_t n, std::string_view what) {
    char scratch[256];
    while (n > 0) {
        const std::size_t step = std::min(n, sizeof scratch);
        read(scratch, step, what);
        n -= step;
    }
}

std::uint8_t ByteReader::u8(std::string_view what) {
    unsigned char b;
    read(&b, 1, what);
    return b;
}

std::uint32_t ByteReader::u32(std::string_view what) {
    unsigned char b[4];
    read(b, 4, what);
    return load_u32(b);
}

std::int32_t ByteReader::i32(std::string_view what) {
    return static_cast<std::int32_t>(u32(what));
}

float ByteReader::f32(std::string_view what) {
    unsigned char b[4];
    read(b, 4, what);
    return load_f32(b);
}

void ByteReader::require(std::uint64_t count, std::uint64_t item_size, std::string_view what) const {
    const std::uint64_t left = remaining();
    if (item_size != 0 && count > left / item_size) {
        throw FormatError("the data ends at byte " + std::to_string(offset() + left) + ", inside " +
                          std::string(what) + " (" + std::to_string(count) + " x " +
                          std::to_string(item_size) + " bytes announced at byte " + std::to_string(offset()) +
                          ", " + std::to_string(left) + " remain)");
    }
}

std::string ByteReader::text(std::string_view what) {
    const std::uint64_t at = offset();
    // The label of a short read is built only when the read fails: texts are
    // read by the million and the common case must not allocate.
    unsigned char b[4];
    if (pos_ + 4 <= size_) {
        std::memcpy(b, data_ + pos_, 4);
        pos_ += 4;
    } else if (const std::size_t got = read_some(b, 4); got != 4) {
        fail_short(4, got, "the length of " + std::string(what));
    }
    const auto length = static_cast<std::int32_t>(load_u32(b));
    if (length < 0) {
        throw FormatError("the length of " + std::string(what) + " at byte " + std::to_string(at) +
                          " is negative (" + std::to_string(length) + ")");
    }
    if (std::uint64_t(length) > remaining()) {
        throw FormatError("the length of " + std::string(what) + " at byte " + std::to_string(at) + " is " +
                          std::to_string(length) + ", but only " + std::to_string(remaining()) +
                          " bytes remain");
    }
    std::string s(std::size_t(length), '\0');
    read(s.data(), s.size(), what);
    const std::size_t zero = s.find('\0');
    if (zero != std::string::npos) {
        s.resize(zero);
    }
    return s;
}

std::string ByteReader::fixed_text(std::size_t n, std::string_view what) {
    std::string s(n, '\0');
    read(s.data(), n, what);
    const std::size_t zero = s.find('\0');
    if (zero != std::string::npos) {
        s.resize(zero);
    }
    return s;
}

ByteWriter::ByteWriter(platform::ByteSink& sink) : sink_(&sink) {
    buffer_.reserve(kWriteBlock * 2);
}

void ByteWriter::write(const void* src, std::size_t n) {
    buffer_.append(static_cast<const char*>(src), n);
    if (sink_ != nullptr && buffer_.size() >= kWriteBlock) {
        flush();
    }
}

void ByteWriter::u32(std::uint32_t v) {
    unsigned char b[4];
    store_u32(b, v);
    write(b, 4);
}

void ByteWriter::f32(float v) {
    unsigned char b[4];
    store_f32(b, v);
    write(b, 4);
}

void ByteWriter::text(std::string_view s) {
    if (s.size() > std::size_t(INT32_MAX)) {
        throw WriteError("a text is too long to be stored");
    }
    i32(static_cast<std::int32_t>(s.size()));
    write(s.data(), s.size());
}

void ByteWriter::fixed_text(std::string_view s, std::size_t n) {
    const std::size_t k = std::min(s.size(), n);
    write(s.data(), k);
    static constexpr char zeros[64] = {};
    for (std::size_t left = n - k; left > 0;) {
        const std::size_t step = std::min(left, sizeof zeros);
        write(zeros, step);
        left -= step;
    }
}

void ByteWriter::flush() {
    if (sink_ == nullptr || buffer_.empty()) {
        return;
    }
    if (!sink_->write(buffer_.data(), buffer_.size())) {
        throw WriteError("the file could not be written");
    }
    flushed_ += buffer_.size();
    buffer_.clear();
}

}  // namespace rebound
