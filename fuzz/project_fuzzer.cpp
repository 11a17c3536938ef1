// Project file: the bytes are read the way ReboundFile::load reads a file
// (through a stream), whatever was read completely is saved to memory, and
// the saved bytes must read back without error into the same project. The
// same bytes through a stream that cannot seek (a pipe) and straight from
// memory must read the same. Read as a whole file, the bytes are accepted
// exactly when the project reads completely and nothing follows it.
#include <cstdint>
#include <string>
#include <string_view>

#include "fileio/byte_io.h"
#include "fuzz_check.h"
#include "memory_stream.h"
#include "model/rebound_file.h"

namespace {

// The date text a reset puts into the project's two dates.
constexpr std::string_view kToday = "2026/12/10";

std::string to_bytes(const rebound::ReboundFile& project) {
    rebound::ByteWriter out;
    project.write_to(out);
    return out.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    fuzz::MemoryStream file(data, size);
    ReboundFile project;
    bool complete = true;
    std::uint64_t consumed = 0;
    {
        ByteReader in(file);
        try {
            project.read_from(in, kToday);
        } catch (const FormatError&) {
            complete = false;
        }
        consumed = in.offset();
    }
    FUZZ_CHECK(consumed <= size);

    // A broken file keeps its header and complete components: they too must
    // save and load back unchanged. Texts lose what follows a zero byte, so
    // the saved project is never longer than what was read.
    const std::string saved = to_bytes(project);
    if (complete) FUZZ_CHECK(saved.size() <= consumed);

    ReboundFile piped;
    bool piped_complete = true;
    try {
        fuzz::PipeStream pipe(data, size);
        ByteReader in(pipe);
        piped.read_from(in, kToday);
    } catch (const FormatError&) {
        piped_complete = false;
    }
    FUZZ_CHECK(piped_complete == complete);
    FUZZ_CHECK(to_bytes(piped) == saved);

    ReboundFile direct;
    bool direct_complete = true;
    try {
        ByteReader in(std::string_view(reinterpret_cast<const char*>(data), size));
        direct.read_from(in, kToday);
    } catch (const FormatError&) {
        direct_complete = false;
    }
    FUZZ_CHECK(direct_complete == complete);
    FUZZ_CHECK(to_bytes(direct) == saved);

    // As load reads a file: a project that reads completely and takes every
    // byte, nothing else; what it reads is what read_from read.
    ReboundFile whole;
    bool whole_ok = true;
    try {
        fuzz::MemoryStream again_file(data, size);
        ByteReader in(again_file);
        whole.read_file(in, kToday);
    } catch (const FormatError&) {
        whole_ok = false;
    }
    FUZZ_CHECK(whole_ok == (complete && consumed == size));
    if (whole_ok) FUZZ_CHECK(to_bytes(whole) == saved);

    ReboundFile again;
    ByteReader in(saved);
    again.read_file(in, kToday);  // throws, and so aborts, if the saved file is unreadable as a file
    FUZZ_CHECK(in.remaining() == 0);
    FUZZ_CHECK(again.component_count() == project.component_count());
    FUZZ_CHECK(to_bytes(again) == saved);
    return 0;
}
