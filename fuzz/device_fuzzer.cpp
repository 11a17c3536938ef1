// Device component file (.cmp, .tmp): the fixed record written by the
// hammer, read the way the import reads it (through a stream). A record that
// reads holds at most 100 areas, each taking its strength from the fifth
// value, and must export as a component record that reads back unchanged.
// Records with control characters in their texts or with neither a name nor
// areas are refused, and as a whole file one of another size than announced.
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
    bool whole_ok = true;
    try {
        fuzz::MemoryStream whole_file(data, size);
        ByteReader in(whole_file);
        ComponentInfo whole;
        whole.read_device_file(in, "2026/12/10");
    } catch (const FormatError&) {
        whole_ok = false;
    }
    try {
        ByteReader in(file);
        component.read_device_record(in, "2026/12/10");
    } catch (const FormatError&) {
        FUZZ_CHECK(!whole_ok);
        return 0;
    }
    // A device file is exactly its header and the areas it announces.
    FUZZ_CHECK(whole_ok == (size == 96 + 40 * component.area_count()));
    // What a hammer writes: a name or areas, and texts without control
    // characters.
    FUZZ_CHECK(!component.component_name.empty() || component.area_count() > 0);
    for (const std::string* text : {&component.component_name, &component.device_text1, &component.device_text2,
                                    &component.device_serial, &component.device_text4, &component.curve_filename}) {
        for (const char c : *text) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
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
