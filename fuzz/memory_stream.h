// Input streams over the fuzzer's bytes without copying them: one seekable
// like a file stream (the readers ask for the size by seeking to the end),
// one that cannot seek, like a pipe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

namespace rebound::fuzz {

class MemoryBuf : public std::streambuf {
public:
    MemoryBuf(const std::uint8_t* data, std::size_t size) {
        char* p = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(p, p, p + size);
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? off_type(gptr() - eback())
                                                          : off_type(egptr() - eback());
        return seekpos(pos_type(base + off), which);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        const off_type at = off_type(pos);
        if (!(which & std::ios_base::in) || at < 0 || at > off_type(egptr() - eback())) {
            return pos_type(off_type(-1));
        }
        setg(eback(), eback() + at, egptr());
        return pos;
    }
};

// The bytes as a binary input stream.
class MemoryStream : public std::istream {
public:
    MemoryStream(const std::uint8_t* data, std::size_t size) : std::istream(nullptr), buf_(data, size) {
        rdbuf(&buf_);
    }

private:
    MemoryBuf buf_;
};

// The bytes as a stream that cannot seek (tellg fails), like a pipe.
class PipeStream : public std::istream {
public:
    PipeStream(const std::uint8_t* data, std::size_t size) : std::istream(nullptr), buf_(data, size) {
        rdbuf(&buf_);
    }

private:
    class Buf : public std::streambuf {
    public:
        Buf(const std::uint8_t* data, std::size_t size) {
            char* p = const_cast<char*>(reinterpret_cast<const char*>(data));
            setg(p, p, p + size);
        }
    };
    Buf buf_;
};

}  // namespace rebound::fuzz
