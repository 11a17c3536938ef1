// Buffered standard output and standard error for rebound-cli. The standard
// error stream of C++ writes every fragment of a message with a system call
// of its own; a command that warns about thousands of components then spends
// more time writing than working. While an OutputBuffers object lives, both
// streams collect their text and hand it to the system in large blocks: when
// a block is full, when the program flushes the stream (the JSON dump does
// so at its end), and when the object ends, that is at the end of the
// command. Standard error is no longer flushed before each write to standard
// output, nor the other way round.
#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

namespace rebound::cli {

// A stream buffer over a C stream that writes in blocks of `capacity` bytes;
// a write larger than that goes out at once, without a copy.
class BlockBuffer : public std::streambuf {
public:
    explicit BlockBuffer(std::FILE* file, std::size_t capacity = 64 * 1024);
    ~BlockBuffer() override;
    BlockBuffer(const BlockBuffer&) = delete;
    BlockBuffer& operator=(const BlockBuffer&) = delete;

    // Number of blocks handed to the C stream so far.
    std::size_t writes() const { return writes_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool write_out(const char* data, std::size_t size);

    std::FILE* file_;
    std::size_t capacity_;
    std::string pending_;
    std::size_t writes_ = 0;
};

// Puts block buffers under std::cout and std::cerr for its lifetime; at its
// end the collected text is written and the streams get their own buffers
// back.
class OutputBuffers {
public:
    OutputBuffers();
    ~OutputBuffers();
    OutputBuffers(const OutputBuffers&) = delete;
    OutputBuffers& operator=(const OutputBuffers&) = delete;

private:
    BlockBuffer out_;
    BlockBuffer err_;
    std::streambuf* old_out_;
    std::streambuf* old_err_;
    std::ostream* old_tie_;
    std::ios_base::fmtflags old_err_flags_;
};

}  // namespace rebound::cli
