// Exported component file (.xcmp): one component record, read the way the
// import reads it (through a stream); a record that reads must export and
// import back unchanged, and the same bytes through a stream that cannot seek
// (a pipe) must read the same; as a whole file, bytes after the record are
// refused.
#include <cstdint>
#include <string>

#include "component_record.h"
#include "fileio/byte_io.h"
#include "fuzz_check.h"
#include "memory_stream.h"
#include "model/rebound_file.h"

namespace {

// Reads one record; false when the reader reports the record as broken.
bool read(std::istream& file, rebound::ComponentInfo& component, std::uint64_t& consumed) {
    try {
        rebound::ByteReader in(file);
        component.read_record(in);
        consumed = in.offset();
        return true;
    } catch (const rebound::FormatError&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    fuzz::MemoryStream file(data, size);
    fuzz::PipeStream pipe(data, size);
    ComponentInfo component, piped;
    std::uint64_t consumed = 0, piped_consumed = 0;
    const bool ok = read(file, component, consumed);
    FUZZ_CHECK(read(pipe, piped, piped_consumed) == ok);
    // As the import reads a file: accepted exactly when the record reads and
    // nothing follows it.
    bool whole_ok = true;
    try {
        fuzz::MemoryStream whole_file(data, size);
        ByteReader in(whole_file);
        ComponentInfo whole;
        whole.read_exported_file(in);
        FUZZ_CHECK(fuzz::record_bytes(whole) == fuzz::record_bytes(component));
    } catch (const FormatError&) {
        whole_ok = false;
    }
    FUZZ_CHECK(whole_ok == (ok && consumed == size));
    if (!ok) return 0;
    FUZZ_CHECK(consumed <= size && piped_consumed == consumed);
    FUZZ_CHECK(std::uint64_t(component.area_count()) * kAreaRecordSize + kComponentFixedBlockSize <=
               consumed);

    const std::string saved = fuzz::record_bytes(component);
    FUZZ_CHECK(fuzz::record_bytes(piped) == saved);
    FUZZ_CHECK(saved.size() <= consumed);
    fuzz::check_record_reads_back(saved);
    return 0;
}
