#include "fileio/byte_io.h"

#include <algorithm>
#include <istream>
#include <new>

#include "platform/files.h"
#include "platform/input_file.h"

namespace rebound {

namespace {
constexpr std::size_t kReadBlock = std::size_t{1} << 20;
constexpr std::size_t kWriteBlock = std::size_t{1} << 16;

std::string str(std::string_view s) {
    return std::string(s);
}
}  // namespace

// A std::istream as a byte source. A stream that can seek announces the bytes
// from its current position to its end; one that cannot announces nothing.
class ByteReader::StreamSource final : public platform::ByteSource {
public:
    explicit StreamSource(std::istream& in) : in_(in) {
        const std::istream::pos_type start = in.tellg();
        if (start == std::istream::pos_type(-1)) {
            in.clear();
            return;
        }
        in.seekg(0, std::ios::end);
        const std::istream::pos_type end = in.tellg();
        in.clear();
        in.seekg(start);
        start_ = static_cast<std::int64_t>(start);
        if (end != std::istream::pos_type(-1)) {
            size_ = end > start ? static_cast<std::uint64_t>(end - start) : 0;
        }
    }
    std::size_t read(char* dst, std::size_t n) override {
        const std::streamsize got = in_.rdbuf()->sgetn(dst, static_cast<std::streamsize>(n));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::optional<std::uint64_t> size() const override { return size_; }

    // Puts the stream at `consumed` bytes from where reading started.
    void put_back(std::uint64_t consumed) {
        if (start_ < 0) return;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(start_ + static_cast<std::int64_t>(consumed)));
    }

private:
    std::istream& in_;
    std::int64_t start_ = -1;
    std::optional<std::uint64_t> size_;
};

ByteReader::ByteReader(std::string_view bytes)
    : data_(bytes.data()), size_(bytes.size()), total_(bytes.size()) {}

ByteReader::ByteReader(platform::ByteSource& source) : source_(&source) {
    if (const std::optional<std::uint64_t> size = source.size()) {
        total_ = *size;
        return;
    }
    start_unsized();
}

ByteReader::ByteReader(std::istream& in) : stream_(std::make_unique<StreamSource>(in)) {
    source_ = stream_.get();
    if (const std::optional<std::uint64_t> size = stream_->size()) {
        total_ = *size;
        return;
    }
    start_unsized();
}

ByteReader::~ByteReader() {
    if (stream_) stream_->put_back(offset());
}

void ByteReader::start_unsized() {
    // The size is unknown, so everything is taken in first: every length and
    // count is then checked against the bytes really there, instead of a
    // corrupt one being allocated up front. One byte beyond the limit tells
    // an oversized source from one of exactly that size.
    // The buffer grows by doubling, but never past the limit: its capacity
    // is set explicitly, as growing by itself it could overshoot.
    constexpr std::size_t kLimit = static_cast<std::size_t>(kMaxUnsizedBytes) + 1;
    std::size_t have = 0;
    for (;;) {
        if (have == buffer_.capacity()) {
            buffer_.reserve(std::min(kLimit, std::max<std::size_t>(have * 2, std::size_t{64} << 10)));
        }
        buffer_.resize(buffer_.capacity());
        const std::size_t got = source_->read(buffer_.data() + have, buffer_.size() - have);
        have += got;
        if (got == 0) break;
        if (have > kMaxUnsizedBytes) {
            buffer_ = std::vector<char>();
            fail(kMaxUnsizedBytes, "the data", "data_beyond_limit", {std::to_string(kMaxUnsizedBytes)},
                 "the data goes on beyond " + std::to_string(kMaxUnsizedBytes) +
                     " bytes, the most read from a pipe or device");
        }
    }
    buffer_.resize(have);
    if (const std::string failure = source_->failure(); !failure.empty()) {
        fail(buffer_.size(), "the data", "read_failed_at", {std::to_string(buffer_.size()), failure},
             "the data could not be read at byte " + std::to_string(buffer_.size()) + ": " + failure);
    }
    data_ = buffer_.data();
    size_ = total_ = buffer_.size();
    source_ = nullptr;
}

bool ByteReader::refill() {
    if (source_ == nullptr) {
        return false;
    }
    consumed_ += pos_;
    pos_ = 0;
    size_ = 0;
    // Never beyond the announced size: what a file gains while it is read is
    // not taken, so the count of remaining bytes cannot run below zero.
    const std::uint64_t left = total_ - consumed_;
    if (left == 0) {
        return false;
    }
    // A block, or the whole of a smaller file.
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadBlock, left));
    if (buffer_.size() < want) buffer_.resize(want);
    // A file, pipe or device may deliver less than asked without being at
    // its end; only nothing at all ends the data.
    while (size_ < want) {
        const std::size_t got = source_->read(buffer_.data() + size_, want - size_);
        if (got == 0) break;
        size_ += got;
    }
    data_ = buffer_.data();
    if (size_ < want) {
        if (const std::string failure = source_->failure(); !failure.empty()) {
            fail(consumed_ + size_, "the data", "read_failed_at", {std::to_string(consumed_ + size_), failure},
                 "the data could not be read at byte " + std::to_string(consumed_ + size_) + ": " + failure);
        }
        // The source ended before the size it announced (a file that shrank
        // while it was read): the data ends here.
        total_ = consumed_ + size_;
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
        const std::size_t step = std::min(n - got, size_ - pos_);
        std::memcpy(out + got, data_ + pos_, step);
        pos_ += step;
        got += step;
    }
    return got;
}

void ByteReader::fail(std::uint64_t at, std::string_view what, std::string code, std::vector<std::string> args,
                      std::string message) const {
    FileError error;
    error.kind = FileError::Kind::Malformed;
    error.offset = at;
    error.field = str(what);
    error.say(std::move(code), std::move(args), std::move(message));
    throw FormatError(std::move(error));
}

void ByteReader::require_end(std::string_view what, std::string_view expected) const {
    const std::uint64_t left = remaining();
    if (left == 0) return;
    const std::string count = std::to_string(left), at = std::to_string(offset());
    fail(offset(), what, left == 1 ? "byte_follows" : "bytes_follow", {count, str(what), at},
         count + (left == 1 ? " byte follows " : " bytes follow ") + str(what) + " at byte " + at + " (" +
             str(expected) + ")");
}

void ByteReader::fail_short(std::size_t wanted, std::size_t got, std::string_view what, bool length_of) const {
    const std::string inside = length_of ? "the length of " + str(what) : str(what);
    fail(offset(), inside, length_of ? "data_ends_inside_length" : "data_ends_inside",
         {str(what), std::to_string(offset()), std::to_string(wanted), std::to_string(got)},
         "the data ends inside " + inside + " at byte " + std::to_string(offset()) + " (" +
             std::to_string(wanted) + " bytes expected, " + std::to_string(got) + " found)");
}

void ByteReader::read_slow(void* dst, std::size_t n, std::string_view what) {
    const std::size_t got = read_some(dst, n);
    if (got != n) {
        fail_short(n, got, what);
    }
}

const unsigned char* ByteReader::take_slow(std::size_t n, std::string_view what) {
    if (n > kMaxTake) {
        throw std::logic_error("ByteReader::take of more than kMaxTake bytes");
    }
    read_slow(gathered_, n, what);
    return gathered_;
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
    return *take(1, what);
}

std::uint32_t ByteReader::u32(std::string_view what) {
    return load_u32(take(4, what));
}

std::int32_t ByteReader::i32(std::string_view what) {
    return static_cast<std::int32_t>(u32(what));
}

float ByteReader::f32(std::string_view what) {
    return load_f32(take(4, what));
}

void ByteReader::require(std::uint64_t count, std::uint64_t item_size, std::string_view what) const {
    const std::uint64_t left = remaining();
    if (item_size != 0 && count > left / item_size) {
        fail(offset() + left, what, "data_ends_announced",
             {std::to_string(offset() + left), str(what), std::to_string(count), std::to_string(item_size),
              std::to_string(offset()), std::to_string(left)},
             "the data ends at byte " + std::to_string(offset() + left) + ", inside " + str(what) + " (" +
                 std::to_string(count) + " x " + std::to_string(item_size) + " bytes announced at byte " +
                 std::to_string(offset()) + ", " + std::to_string(left) + " remain)");
    }
}

void ByteReader::text(std::string& out, std::string_view what, bool keep_zero_bytes) {
    const std::uint64_t at = offset();
    // The label of a short read is built only when the read fails: texts are
    // read by the million and the common case must not allocate.
    const unsigned char* b;
    unsigned char length_bytes[4];
    if (4 <= size_ - pos_) {
        b = reinterpret_cast<const unsigned char*>(data_ + pos_);
        pos_ += 4;
    } else if (const std::size_t got = read_some(length_bytes, 4); got == 4) {
        b = length_bytes;
    } else {
        fail_short(4, got, what, true);
    }
    const auto length = static_cast<std::int32_t>(load_u32(b));
    if (length < 0) {
        fail(at, what, "text_length_negative", {str(what), std::to_string(at), std::to_string(length)},
             "the length of " + str(what) + " at byte " + std::to_string(at) + " is negative (" +
                 std::to_string(length) + ")");
    }
    const auto n = static_cast<std::size_t>(length);
    if (n > remaining()) {
        fail(at, what, "text_length_beyond_end",
             {str(what), std::to_string(at), std::to_string(length), std::to_string(remaining())},
             "the length of " + str(what) + " at byte " + std::to_string(at) + " is " +
                 std::to_string(length) + ", but only " + std::to_string(remaining()) + " bytes remain");
    }
    if (n <= size_ - pos_) {
        const char* p = data_ + pos_;
        const void* zero = keep_zero_bytes ? nullptr : std::memchr(p, '\0', n);
        out.assign(p, zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - p) : n);
        pos_ += n;
        return;
    }
    out.resize(n);
    read_slow(out.data(), n, what);
    const std::size_t zero = out.find('\0');
    if (zero != std::string::npos && !keep_zero_bytes) {
        out.resize(zero);
    }
}

std::string ByteReader::text(std::string_view what) {
    std::string s;
    text(s, what);
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

unsigned char* ByteWriter::claim(std::size_t n) {
    if (sink_ != nullptr && buffer_.size() + n > kWriteBlock && !buffer_.empty()) {
        flush();
    }
    const std::size_t at = buffer_.size();
    buffer_.resize(at + n);
    return reinterpret_cast<unsigned char*>(buffer_.data() + at);
}

void ByteWriter::u32(std::uint32_t v) {
    store_u32(claim(4), v);
}

void ByteWriter::f32(float v) {
    store_f32(claim(4), v);
}

void ByteWriter::text(std::string_view s, std::string_view what) {
    if (s.size() > std::size_t(INT32_MAX)) {
        FileError error;
        error.kind = FileError::Kind::WriteFailed;
        error.field = str(what);
        error.say("text_too_long", {str(what), std::to_string(s.size())},
                  str(what) + " is too long to be stored (" + std::to_string(s.size()) + " bytes)");
        throw WriteError(std::move(error));
    }
    i32(static_cast<std::int32_t>(s.size()));
    write(s.data(), s.size());
}

void ByteWriter::fixed_text(std::string_view s, std::size_t n) {
    unsigned char* p = claim(n);
    const std::size_t k = std::min(s.size(), n);
    std::memcpy(p, s.data(), k);
    std::memset(p + k, 0, n - k);
}

void ByteWriter::flush() {
    if (sink_ == nullptr || buffer_.empty()) {
        return;
    }
    if (!sink_->write(buffer_.data(), buffer_.size())) {
        FileError error;
        error.kind = FileError::Kind::WriteFailed;
        error.offset = flushed_;
        error.say("write_failed", {}, "the file could not be written");
        throw WriteError(std::move(error));
    }
    flushed_ += buffer_.size();
    buffer_.clear();
}

Result<void> at_file_boundary(const std::filesystem::path& file, FileError::Kind kind,
                              const std::function<void()>& body) {
    try {
        body();
        return {};
    } catch (const FileFailure& e) {
        FileError error = e.error();
        if (error.file.empty()) error.file = file;
        return error;
    } catch (const std::bad_alloc&) {
        FileError error;
        error.kind = kind;
        error.file = file;
        error.say("out_of_memory", {}, "there is not enough memory to hold it");
        return error;
    } catch (const std::exception& e) {
        FileError error;
        error.kind = kind;
        error.file = file;
        error.message = e.what();
        return error;
    }
}

}  // namespace rebound
