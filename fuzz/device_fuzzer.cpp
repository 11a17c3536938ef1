// Device component file (.cmp, .tmp): the fixed record written by the
// hammer, read the way the import reads it (through a stream). A record that
// reads holds at most 100 areas, each taking its strength from the fifth
// value, and must export as a component record that reads back unchanged.
#include <cstdint>
#include <cstring>
#include <string>

#include "component_record.h"
#include "fileio/byte_io.h"
#include "fuzz_check.h"
#include "memory_stream.h"
#include "model/rebound_file.h"

namespace {

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    fuzz::MemoryStream file(data, size);
    ComponentInfo component;
    try {
        ByteReader in(file);
        component.read_device_record(in, "2026/12/10");
    } catch (const FormatError&) {
        return 0;
    }
    FUZZ_CHECK(component.area_count() <= 100);
    FUZZ_CHECK(size >= 96 + 40 * component.area_count());
    FUZZ_CHECK(component.area_count() == data[60]);
    FUZZ_CHECK(component.list_checked == 1);
    FUZZ_CHECK(component.component_name.size() <= 8 && component.curve_filename.size() <= 16);
    for (const AreaData& a : component.areas) {
        FUZZ_CHECK(same_bits(a.converted_strength, a.area_strength));
        FUZZ_CHECK(a.reserved2 == 0 && a.reserved3 == 0 && same_bits(a.reserved4, 0.0f));
    }

    const std::string saved = fuzz::record_bytes(component);
    fuzz::check_record_reads_back(saved);
    return 0;
}
