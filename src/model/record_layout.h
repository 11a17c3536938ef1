// The records of the project file and of the device file, one table each: the
// fields in file order, with the model field each one fills, its name (also
// its JSON key) and how a reader's error calls it. The project file's reader
// and writer, the device record's reader and writer, the JSON dump and the
// component and area copies all walk these tables, so that a field is
// described once. The byte layout follows from the order and the types: every
// format is little-endian without padding.
//
// Project file
//   project   : kProjectTexts, uint32 component count, the component records
//   component : kComponentTexts, then the fixed block (kComponentValues and
//               the uint32 area count, 25 bytes), then the area records
//   area      : kAreaValues, 50 bytes
// Device file (.cmp, .tmp)
//   header    : kDeviceHeader, 96 bytes, then the area records
//   area      : kDeviceArea, 40 bytes
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

#include "model/rebound_file.h"

namespace rebound::records {

// A length-prefixed text: int32 length, then that many bytes.
template <class Record>
struct Text {
    const char* name;
    const char* label;
    std::string Record::*member;
    // A spare text keeps every byte it holds, a zero byte too: it carries
    // data of its own (evaluation/spare_texts.h), which a cut would lose.
    // Every other text ends at its first zero byte, as it always has.
    bool keeps_zero_bytes = false;
};

enum class Rule : std::uint8_t {
    Kept,      // read, written and copied as it is
    Reserved,  // written from memory but ignored on reading (0), and 0 in any
               // area copy: an area that belongs to a component holds 0 there
};

// A fixed-size value: uint8, float32 or the 16 readings (16 x uint8).
// `also`, when set, is a second field that reading fills with the same value.
template <class Record, class T>
struct Value {
    const char* name;
    T Record::*member;
    Rule rule = Rule::Kept;
    T Record::*also = nullptr;
};

// A fixed-width text: `width` bytes, ending at the first zero byte.
template <class Record>
struct FixedText {
    const char* name;
    std::string Record::*member;
    std::size_t width;
};

// Bytes that are not taken over into the model.
struct Skip {
    const char* name;
    std::size_t width;
};

// The device's date stamp: a uint32 the importer does not read (the
// examination date comes from the file's creation date instead).
struct DateStamp {
    const char* name;
};

// The number of area records that follow the record.
template <class T>
struct AreaCount {
    using type = T;
    const char* name;
};

using Readings = std::array<std::uint8_t, kReadingsPerArea>;

inline constexpr std::tuple kProjectTexts{
    Text<ReboundFile>{"project_name", "the project name", &ReboundFile::project_name},
    Text<ReboundFile>{"project_address", "the project address", &ReboundFile::project_address},
    Text<ReboundFile>{"construction_date", "the construction date", &ReboundFile::construction_date},
    Text<ReboundFile>{"constructor_unit", "the constructor", &ReboundFile::constructor_unit},
    Text<ReboundFile>{"design_unit", "the design organisation", &ReboundFile::design_unit},
    Text<ReboundFile>{"supervision_unit", "the supervising organisation", &ReboundFile::supervision_unit},
    Text<ReboundFile>{"reserved_text1", "reserved text 1", &ReboundFile::reserved_text1, true},
    Text<ReboundFile>{"concrete_producer", "the concrete producer", &ReboundFile::concrete_producer},
    Text<ReboundFile>{"agent_unit", "the commissioning company", &ReboundFile::agent_unit},
    Text<ReboundFile>{"agent_date", "the measurement date", &ReboundFile::agent_date},
    Text<ReboundFile>{"report_serial", "the report number", &ReboundFile::report_serial},
    Text<ReboundFile>{"examine_serial", "the measurement number", &ReboundFile::examine_serial},
    Text<ReboundFile>{"reserved_text2", "reserved text 2", &ReboundFile::reserved_text2, true},
    Text<ReboundFile>{"examine_basis", "the standard", &ReboundFile::examine_basis},
    Text<ReboundFile>{"examine_condition", "the project description", &ReboundFile::examine_condition},
};
inline constexpr const char* kComponentCountLabel = "the component count";

inline constexpr std::tuple kComponentTexts{
    Text<ComponentInfo>{"component_name", "the component name", &ComponentInfo::component_name},
    Text<ComponentInfo>{"device_text1", "device text 1", &ComponentInfo::device_text1},
    Text<ComponentInfo>{"device_text2", "device text 2", &ComponentInfo::device_text2},
    Text<ComponentInfo>{"device_serial", "the device serial", &ComponentInfo::device_serial},
    Text<ComponentInfo>{"device_text4", "device text 4", &ComponentInfo::device_text4},
    Text<ComponentInfo>{"examine_date", "the examination date", &ComponentInfo::examine_date},
    Text<ComponentInfo>{"extra_date", "the second date", &ComponentInfo::extra_date},
    Text<ComponentInfo>{"curve_filename", "the curve file name", &ComponentInfo::curve_filename},
    Text<ComponentInfo>{"reserved_text", "the reserved text", &ComponentInfo::reserved_text, true},
    Text<ComponentInfo>{"component_condition", "the component description",
                        &ComponentInfo::component_condition},
};

// The fixed block of the component record: these values, then the area count.
inline constexpr std::tuple kComponentValues{
    Value<ComponentInfo, std::uint8_t>{"pump_tag", &ComponentInfo::pump_tag},
    Value<ComponentInfo, std::uint8_t>{"list_checked", &ComponentInfo::list_checked},
    Value<ComponentInfo, std::uint8_t>{"carbonation_mode", &ComponentInfo::carbonation_mode},
    Value<ComponentInfo, std::uint8_t>{"rep_carbonation_index", &ComponentInfo::rep_carbonation_index},
    Value<ComponentInfo, std::uint8_t>{"strength_degree", &ComponentInfo::strength_degree},
    Value<ComponentInfo, float>{"strength_avg", &ComponentInfo::strength_avg},
    Value<ComponentInfo, float>{"strength_min", &ComponentInfo::strength_min},
    Value<ComponentInfo, float>{"strength_delta", &ComponentInfo::strength_delta},
    Value<ComponentInfo, float>{"strength_estimate", &ComponentInfo::strength_estimate},
};
inline constexpr auto kComponentFixedBlock =
    std::tuple_cat(kComponentValues, std::tuple{AreaCount<std::uint32_t>{"area count"}});
inline constexpr const char* kComponentFixedBlockLabel = "the fixed block of the component";
inline constexpr const char* kComponentAreasLabel = "the area records of the component";

inline constexpr std::tuple kAreaValues{
    Value<AreaData, Readings>{"readings", &AreaData::readings},
    Value<AreaData, std::uint8_t>{"angle_index", &AreaData::angle_index},
    Value<AreaData, std::uint8_t>{"surface_index", &AreaData::surface_index},
    Value<AreaData, std::uint8_t>{"carbonation_index", &AreaData::carbonation_index},
    Value<AreaData, std::uint8_t>{"reserved1", &AreaData::reserved1},
    Value<AreaData, float>{"mean_rebound", &AreaData::mean_rebound},
    Value<AreaData, float>{"angle_correction", &AreaData::angle_correction},
    Value<AreaData, float>{"surface_correction", &AreaData::surface_correction},
    Value<AreaData, float>{"converted_strength", &AreaData::converted_strength},
    Value<AreaData, float>{"pump_correction", &AreaData::pump_correction},
    Value<AreaData, std::uint8_t>{"reserved2", &AreaData::reserved2},
    Value<AreaData, std::uint8_t>{"reserved3", &AreaData::reserved3, Rule::Reserved},
    Value<AreaData, float>{"area_strength", &AreaData::area_strength},
    Value<AreaData, float>{"reserved4", &AreaData::reserved4, Rule::Reserved},
};

inline constexpr std::tuple kDeviceHeader{
    FixedText<ComponentInfo>{"component name", &ComponentInfo::component_name, 8},
    DateStamp{"date stamp"},
    FixedText<ComponentInfo>{"device text 1", &ComponentInfo::device_text1, 8},
    FixedText<ComponentInfo>{"device text 2", &ComponentInfo::device_text2, 8},
    FixedText<ComponentInfo>{"device serial", &ComponentInfo::device_serial, 8},
    FixedText<ComponentInfo>{"device text 4", &ComponentInfo::device_text4, 8},
    Skip{"reserved bytes", 16},
    AreaCount<std::uint8_t>{"area count"},
    Value<ComponentInfo, std::uint8_t>{"pumped flag", &ComponentInfo::pump_tag},
    Value<ComponentInfo, std::uint8_t>{"carbonation mode", &ComponentInfo::carbonation_mode},
    Value<ComponentInfo, std::uint8_t>{"representative carbonation index",
                                       &ComponentInfo::rep_carbonation_index},
    FixedText<ComponentInfo>{"strength curve file name", &ComponentInfo::curve_filename, 16},
    Value<ComponentInfo, float>{"mean strength", &ComponentInfo::strength_avg},
    Value<ComponentInfo, float>{"minimum strength", &ComponentInfo::strength_min},
    Value<ComponentInfo, float>{"standard deviation", &ComponentInfo::strength_delta},
    Value<ComponentInfo, float>{"estimated strength", &ComponentInfo::strength_estimate},
};
inline constexpr unsigned kDeviceMaxAreas = 100;

// The fifth value is both the converted and the final strength of the area;
// a device record has no pumped-concrete field of the model's meaning, its
// fourth value becomes the area's pumped correction.
inline constexpr std::tuple kDeviceArea{
    Value<AreaData, Readings>{"readings", &AreaData::readings},
    Value<AreaData, std::uint8_t>{"angle index", &AreaData::angle_index},
    Value<AreaData, std::uint8_t>{"surface index", &AreaData::surface_index},
    Value<AreaData, std::uint8_t>{"carbonation index", &AreaData::carbonation_index},
    Value<AreaData, std::uint8_t>{"spare byte", &AreaData::reserved1},
    Value<AreaData, float>{"mean rebound value", &AreaData::mean_rebound},
    Value<AreaData, float>{"angle correction", &AreaData::angle_correction},
    Value<AreaData, float>{"surface correction", &AreaData::surface_correction},
    Value<AreaData, float>{"fourth value", &AreaData::pump_correction},
    Value<AreaData, float>{"fifth value", &AreaData::area_strength, Rule::Kept,
                           &AreaData::converted_strength},
};

// Calls f(field) for every field of a table, in order.
template <class Table, class F>
constexpr void for_each(const Table& table, F&& f) {
    std::apply([&f](const auto&... field) { (f(field), ...); }, table);
}

// Bytes a fixed-size field takes in the file.
template <class R, class T>
constexpr std::size_t width_of(const Value<R, T>&) {
    return sizeof(T);
}
template <class R>
constexpr std::size_t width_of(const FixedText<R>& f) {
    return f.width;
}
constexpr std::size_t width_of(const Skip& f) {
    return f.width;
}
constexpr std::size_t width_of(const DateStamp&) {
    return 4;
}
template <class T>
constexpr std::size_t width_of(const AreaCount<T>&) {
    return sizeof(T);
}

// Bytes a table of fixed-size fields takes in the file.
template <class Table>
constexpr std::size_t width_of_table(const Table& table) {
    std::size_t width = 0;
    for_each(table, [&width](const auto& field) { width += width_of(field); });
    return width;
}

static_assert(sizeof(Readings) == kReadingsPerArea);
static_assert(width_of_table(kAreaValues) == kAreaRecordSize);
static_assert(width_of_table(kComponentFixedBlock) == kComponentFixedBlockSize);
inline constexpr std::size_t kDeviceHeaderSize = width_of_table(kDeviceHeader);
inline constexpr std::size_t kDeviceAreaSize = width_of_table(kDeviceArea);
static_assert(kDeviceHeaderSize == 96);
static_assert(kDeviceAreaSize == 40);

// The smallest component record: empty texts, the fixed block, no areas.
inline constexpr std::size_t kMinComponentRecordSize =
    4 * std::tuple_size_v<decltype(kComponentTexts)> + kComponentFixedBlockSize;

}  // namespace rebound::records
