// The project file (.prj) and the component record it shares with the
// exported component file (.xcmp). Binary, little-endian, no padding:
//
//   project   : 15 texts (project_name ... examine_condition)
//               uint32 component count N, then N component records
//   text      : int32 length L (never negative), then L bytes, no terminator
//   component : 10 texts (component_name ... component_condition)
//               fixed block, 25 bytes:
//                 +0 pump_tag  +1 list_checked  +2 carbonation_mode
//                 +3 rep_carbonation_index  +4 strength_degree (uint8 each)
//                 +5 strength_avg  +9 strength_min  +13 strength_delta
//                 +17 strength_estimate (float32 each)  +21 uint32 area count M
//               then M area records of 50 bytes
//   area      : +0 16 readings (uint8)  +16 angle_index  +17 surface_index
//               +18 carbonation_index  +19 reserved1 (uint8 each)
//               +20 mean_rebound  +24 angle_correction  +28 surface_correction
//               +32 converted_strength  +36 pump_correction (float32 each)
//               +40 reserved2  +41 reserved3 (uint8; always 0, ignored on reading)
//               +42 area_strength  +46 reserved4 (float32, unaligned; reserved4
//               is always 0 and ignored on reading)
#include <fstream>
#include <new>

#include "fileio/byte_io.h"
#include "model/rebound_file.h"
#include "platform/files.h"

namespace rebound {

namespace {

// The smallest component record: ten empty texts and the fixed block.
constexpr std::uint64_t kMinComponentRecord = 10 * 4 + kComponentFixedBlockSize;

void encode_area(const AreaData& a, unsigned char* p) {
    std::memcpy(p, a.readings.data(), kReadingsPerArea);
    p[16] = a.angle_index;
    p[17] = a.surface_index;
    p[18] = a.carbonation_index;
    p[19] = a.reserved1;
    store_f32(p + 20, a.mean_rebound);
    store_f32(p + 24, a.angle_correction);
    store_f32(p + 28, a.surface_correction);
    store_f32(p + 32, a.converted_strength);
    store_f32(p + 36, a.pump_correction);
    p[40] = a.reserved2;
    p[41] = a.reserved3;
    store_f32(p + 42, a.area_strength);
    store_f32(p + 46, a.reserved4);
}

void decode_area(const unsigned char* p, AreaData& a) {
    std::memcpy(a.readings.data(), p, kReadingsPerArea);
    a.angle_index = p[16];
    a.surface_index = p[17];
    a.carbonation_index = p[18];
    a.reserved1 = p[19];
    a.mean_rebound = load_f32(p + 20);
    a.angle_correction = load_f32(p + 24);
    a.surface_correction = load_f32(p + 28);
    a.converted_strength = load_f32(p + 32);
    a.pump_correction = load_f32(p + 36);
    a.reserved2 = p[40];
    a.reserved3 = 0;  // ignored on reading
    a.area_strength = load_f32(p + 42);
    a.reserved4 = 0.0f;  // ignored on reading
}

}  // namespace

void ComponentInfo::write_record(ByteWriter& out) const {
    for (const std::string* t :
         {&component_name, &device_text1, &device_text2, &device_serial, &device_text4, &examine_date,
          &extra_date, &curve_filename, &reserved_text, &component_condition}) {
        out.text(*t);
    }
    out.u8(pump_tag);
    out.u8(list_checked);
    out.u8(carbonation_mode);
    out.u8(rep_carbonation_index);
    out.u8(strength_degree);
    out.f32(strength_avg);
    out.f32(strength_min);
    out.f32(strength_delta);
    out.f32(strength_estimate);
    if (areas.size() > UINT32_MAX) {
        throw WriteError("a component has too many areas to be stored");
    }
    out.u32(static_cast<std::uint32_t>(areas.size()));
    unsigned char record[kAreaRecordSize];
    for (const AreaData& a : areas) {
        encode_area(a, record);
        out.write(record, sizeof record);
    }
}

void ComponentInfo::read_record(ByteReader& in) {
    reset();
    component_name = in.text("the component name");
    device_text1 = in.text("device text 1");
    device_text2 = in.text("device text 2");
    device_serial = in.text("the device serial");
    device_text4 = in.text("device text 4");
    examine_date = in.text("the examination date");
    extra_date = in.text("the second date");
    curve_filename = in.text("the curve file name");
    reserved_text = in.text("the reserved text");
    component_condition = in.text("the component description");

    unsigned char fixed[kComponentFixedBlockSize];
    in.read(fixed, sizeof fixed, "the fixed block of the component");
    pump_tag = fixed[0];
    list_checked = fixed[1];
    carbonation_mode = fixed[2];
    rep_carbonation_index = fixed[3];
    strength_degree = fixed[4];
    strength_avg = load_f32(fixed + 5);
    strength_min = load_f32(fixed + 9);
    strength_delta = load_f32(fixed + 13);
    strength_estimate = load_f32(fixed + 17);
    const std::uint32_t count = load_u32(fixed + 21);

    in.require(count, kAreaRecordSize, "the area records of the component");
    areas.reserve(count);
    unsigned char record[kAreaRecordSize];
    AreaData area;
    std::uint32_t i = 0;
    try {
        for (; i < count; ++i) {
            in.read(record, sizeof record, "an area record");
            decode_area(record, area);
            areas.push_back(area);
        }
    } catch (const FormatError& e) {
        throw FormatError("area record " + std::to_string(i + 1) + " of " + std::to_string(count) + ": " +
                          e.what());
    }
}

void ReboundFile::write_to(ByteWriter& out) const {
    for (const std::string* t :
         {&project_name, &project_address, &construction_date, &constructor_unit, &design_unit,
          &supervision_unit, &reserved_text1, &concrete_producer, &agent_unit, &agent_date, &report_serial,
          &examine_serial, &reserved_text2, &examine_basis, &examine_condition}) {
        out.text(*t);
    }
    if (components.size() > UINT32_MAX) {
        throw WriteError("the project has too many components to be stored");
    }
    out.u32(static_cast<std::uint32_t>(components.size()));
    for (const ComponentInfo& c : components) {
        c.write_record(out);
    }
}

void ReboundFile::read_from(ByteReader& in) {
    reset();
    struct Field {
        std::string ReboundFile::*member;
        const char* name;
    };
    static constexpr Field header[] = {
        {&ReboundFile::project_name, "the project name"},
        {&ReboundFile::project_address, "the project address"},
        {&ReboundFile::construction_date, "the construction date"},
        {&ReboundFile::constructor_unit, "the constructor"},
        {&ReboundFile::design_unit, "the design organisation"},
        {&ReboundFile::supervision_unit, "the supervising organisation"},
        {&ReboundFile::reserved_text1, "reserved text 1"},
        {&ReboundFile::concrete_producer, "the concrete producer"},
        {&ReboundFile::agent_unit, "the commissioning company"},
        {&ReboundFile::agent_date, "the measurement date"},
        {&ReboundFile::report_serial, "the report number"},
        {&ReboundFile::examine_serial, "the measurement number"},
        {&ReboundFile::reserved_text2, "reserved text 2"},
        {&ReboundFile::examine_basis, "the standard"},
        {&ReboundFile::examine_condition, "the project description"},
    };
    for (const Field& f : header) {
        this->*f.member = in.text(f.name);
    }
    const std::uint32_t count = in.u32("the component count");
    // Reserve only what the remaining bytes could hold, so that a corrupt
    // count cannot make us allocate; a file that breaks off still keeps the
    // components read completely before the break.
    const std::uint64_t fit = in.remaining() / kMinComponentRecord;
    components.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, fit)));
    ComponentInfo scratch;
    for (std::uint32_t i = 0; i < count; ++i) {
        try {
            scratch.read_record(in);
        } catch (const FormatError& e) {
            throw FormatError("component " + std::to_string(i + 1) + " of " + std::to_string(count) + ": " +
                              e.what());
        }
        // The scratch component is not needed afterwards: move it in rather
        // than copy (its areas already follow the copy rule).
        components.push_back(std::move(scratch));  // read_record resets it
    }
}

bool ReboundFile::save(const std::filesystem::path& path, std::string* error) const {
    try {
        return platform::write_file_atomically(
            path,
            [this](platform::ByteSink& sink) {
                ByteWriter out(sink);
                write_to(out);
                out.flush();
                return true;
            },
            error);
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool ReboundFile::load(const std::filesystem::path& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = "is a folder, not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error) *error = "cannot be opened";
        return false;
    }
    try {
        ByteReader in(file);
        read_from(in);
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace rebound
