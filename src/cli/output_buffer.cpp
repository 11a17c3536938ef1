#include "cli/output_buffer.h"

#include <iostream>

namespace rebound::cli {

BlockBuffer::BlockBuffer(std::FILE* file, std::size_t capacity) : file_(file), capacity_(capacity) {
    pending_.reserve(capacity_);
}

BlockBuffer::~BlockBuffer() {
    sync();
}

bool BlockBuffer::write_out(const char* data, std::size_t size) {
    if (size == 0) return true;
    ++writes_;
    // One block, one write: the C stream's own buffer is bypassed for a
    // block at least as large, and standard error has none.
    const bool ok = std::fwrite(data, 1, size, file_) == size;
    return std::fflush(file_) == 0 && ok;
}

BlockBuffer::int_type BlockBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    if (pending_.size() >= capacity_ && sync() != 0) return traits_type::eof();
    return c;
}

std::streamsize BlockBuffer::xsputn(const char* s, std::streamsize n) {
    const auto size = static_cast<std::size_t>(n);
    if (pending_.size() + size > capacity_) {
        if (sync() != 0) return 0;
        if (size >= capacity_) return write_out(s, size) ? n : 0;
    }
    pending_.append(s, size);
    return n;
}

int BlockBuffer::sync() {
    const bool ok = write_out(pending_.data(), pending_.size());
    pending_.clear();
    return ok ? 0 : -1;
}

OutputBuffers::OutputBuffers()
    : out_(stdout),
      err_(stderr),
      old_out_(std::cout.rdbuf(&out_)),
      old_err_(std::cerr.rdbuf(&err_)),
      old_tie_(std::cerr.tie(nullptr)),
      old_err_flags_(std::cerr.flags()) {
    // Without this every insertion into std::cerr would flush it again.
    std::cerr.unsetf(std::ios_base::unitbuf);
}

OutputBuffers::~OutputBuffers() {
    // Standard output first: what a command printed before its closing
    // error stays in that order for a reader of both.
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(old_out_);
    std::cerr.rdbuf(old_err_);
    std::cerr.tie(old_tie_);
    std::cerr.flags(old_err_flags_);
}

}  // namespace rebound::cli
