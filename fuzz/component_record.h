// The component record as an export writes it, and the check that such a
// record imports back unchanged; shared by the targets whose input ends up
// as a component record.
#pragma once

#include <string>

#include "fileio/byte_io.h"
#include "fuzz_check.h"
#include "model/rebound_file.h"

namespace rebound::fuzz {

inline std::string record_bytes(const ComponentInfo& component) {
    ByteWriter out;
    component.write_record(out);
    return out.bytes();
}

// Reads the exported record back: it must take every byte and write the
// same bytes again.
inline void check_record_reads_back(const std::string& saved) {
    ComponentInfo again;
    ByteReader in(saved);
    again.read_record(in);
    FUZZ_CHECK(in.remaining() == 0);
    FUZZ_CHECK(record_bytes(again) == saved);
}

}  // namespace rebound::fuzz
