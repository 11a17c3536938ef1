// The project document: a project (ReboundFile) owns its components
// (ComponentInfo), a component owns its test areas (AreaData). Plain data
// holders with a handful of list operations; no evaluation, no user interface.
//
// Texts are byte strings exactly as found in the files (8-bit ANSI code page,
// GBK for Chinese); conversion to Unicode happens only at the edges.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"

namespace rebound {

class ByteReader;
class ByteWriter;

// Sizes of the fixed parts of a component record in the project file (the
// field tables in model/record_layout.h add up to them).
inline constexpr std::size_t kAreaRecordSize = 50;
inline constexpr std::size_t kComponentFixedBlockSize = 25;
inline constexpr std::size_t kReadingsPerArea = 16;

// The bits of an area's spare byte reserved2.
namespace area_flags {
// A person typed or changed a rebound reading, or entered the area by hand:
// the readings are not as the hammer recorded them.
inline constexpr std::uint8_t kTypedReadings = 0x01;
// The carbonation depth, angle or surface was entered or changed at the desk.
inline constexpr std::uint8_t kDeskConditions = 0x02;
// Written by the evaluation: the corrected mean rebound value lies below or
// above the range of the curve that converted it, so the area has no
// strength from the curve.
inline constexpr std::uint8_t kBelowCurve = 0x04;
inline constexpr std::uint8_t kAboveCurve = 0x08;
}  // namespace area_flags

struct AreaData {
    std::array<std::uint8_t, kReadingsPerArea> readings{};
    std::uint8_t angle_index = 0;
    std::uint8_t surface_index = 0;
    std::uint8_t carbonation_index = 0;
    std::uint8_t reserved1 = 0;
    float mean_rebound = 0.0f;
    float angle_correction = 0.0f;
    float surface_correction = 0.0f;
    float converted_strength = 0.0f;
    float pump_correction = 0.0f;
    // Bits of what happened to the area (area_flags below); a device record
    // and a project saved before they were kept hold 0.
    std::uint8_t reserved2 = 0;
    std::uint8_t reserved3 = 0;
    float area_strength = 0.0f;
    float reserved4 = 0.0f;

    // Sets every field, the readings included, to 0.
    void clear() { *this = AreaData{}; }

    bool has_flag(std::uint8_t flag) const { return (reserved2 & flag) != 0; }
    void set_flag(std::uint8_t flag, bool on) {
        reserved2 = static_cast<std::uint8_t>(on ? reserved2 | flag : reserved2 & ~flag);
    }

    bool operator==(const AreaData&) const = default;
};

class ComponentInfo {
public:
    // A new component: every field as reset(today) leaves it.
    explicit ComponentInfo(std::string_view today) { reset(today); }
    // The same with empty date texts, for readers that fill every field and
    // for callers that set the dates themselves.
    ComponentInfo() { reset({}); }

    // Copying onto itself changes nothing; otherwise the copy takes the texts,
    // bytes and floats and a copy of every area by the area copy rule.
    ComponentInfo(const ComponentInfo& other) { *this = other; }
    ComponentInfo& operator=(const ComponentInfo& other);
    ComponentInfo(ComponentInfo&&) noexcept = default;
    ComponentInfo& operator=(ComponentInfo&&) noexcept = default;

    // The reset values; `today` is today's date as a short-date text and goes
    // into examine_date and extra_date.
    void reset(std::string_view today);

    std::size_t area_count() const { return areas.size(); }
    // Callers pass index < area_count().
    AreaData& area(std::size_t index) { return areas[index]; }
    const AreaData& area(std::size_t index) const { return areas[index]; }
    // Appends a copy of source with reserved3 and reserved4 set to 0.
    void add_area(const AreaData& source);
    void remove_last_area();

    // The component record of the project file (also the whole content of an
    // exported component file). read_record replaces every field and the
    // areas by the record's and throws FormatError when the record is cut
    // short or inconsistent.
    void write_record(ByteWriter& out) const;
    void read_record(ByteReader& in);
    // A whole exported component file: the record, and nothing after it
    // (FormatError when bytes follow).
    void read_exported_file(ByteReader& in);

    // The fixed device record written by the hammer. Reading resets the
    // component (`today` as in reset) and throws FormatError when the record
    // is cut short or announces more areas than it can hold. Writing (for
    // sample files) takes the date stamp the hammer puts in the header and
    // throws WriteError for a component of more than 100 areas.
    // A record whose texts hold control characters, or without a name and
    // without areas, is not a device record: FormatError "not a device
    // component file: ...".
    void read_device_record(ByteReader& in, std::string_view today);
    // A whole device file: the record, and nothing after it (a file of
    // another size than its header announces is not a device file).
    void read_device_file(ByteReader& in, std::string_view today);
    void write_device_record(ByteWriter& out, std::uint32_t date_stamp) const;

    bool operator==(const ComponentInfo&) const = default;

    std::string component_name;
    std::string device_text1;
    std::string device_text2;
    std::string device_serial;
    std::string device_text4;
    std::string examine_date;
    std::string extra_date;
    std::string curve_filename;
    std::string reserved_text;
    std::string component_condition;
    std::uint8_t pump_tag = 1;
    std::uint8_t list_checked = 1;
    std::uint8_t carbonation_mode = 0;
    std::uint8_t rep_carbonation_index = 0;
    std::uint8_t strength_degree = 2;
    float strength_avg = 0.0f;
    float strength_min = 0.0f;
    float strength_delta = 0.0f;
    float strength_estimate = 0.0f;
    std::vector<AreaData> areas;
};

class ReboundFile {
public:
    // A new project: every field as reset(today) leaves it.
    explicit ReboundFile(std::string_view today) { reset(today); }
    // The same with empty date texts, for readers and for callers that set
    // the dates themselves.
    ReboundFile() { reset({}); }

    // The reset values; `today` is today's date as a short-date text and goes
    // into construction_date and agent_date.
    void reset(std::string_view today);

    std::size_t component_count() const { return components.size(); }
    // nullptr when index >= component_count().
    ComponentInfo* component(std::size_t index);
    const ComponentInfo* component(std::size_t index) const;
    // Appends an independent copy of source; the caller keeps its source.
    void add_component(const ComponentInfo& source);
    // Appends source without copying (used by readers that build a scratch
    // component they no longer need).
    void add_component(ComponentInfo&& source);
    // Nothing happens when index >= component_count().
    void remove_component(std::size_t index);

    // Writes the whole project atomically: the previous file is replaced only
    // once every byte of the new one is written and flushed. On failure the
    // previous file is untouched.
    Result<void> save(const std::filesystem::path& path) const;
    // Replaces the project by the file's content. When the file cannot be
    // opened (error kind CannotOpen) the project is unchanged. When it breaks
    // off (Malformed) the project has been reset (`today` as in reset) and
    // keeps the header texts and the complete components read before the
    // break.
    Result<void> load(const std::filesystem::path& path, std::string_view today);

    // The project as bytes, and the reverse; used by save/load and by tests.
    void write_to(ByteWriter& out) const;
    // Resets (`today` as in reset), then reads; throws FormatError on a short
    // or corrupt stream, keeping what was read completely.
    void read_from(ByteReader& in, std::string_view today);
    // A whole project file, as load reads it: read_from, then nothing may
    // follow the last component record (bytes after it mean a component
    // count smaller than the records, which a save would drop): FormatError.
    void read_file(ByteReader& in, std::string_view today);

    bool operator==(const ReboundFile&) const = default;

    std::string project_name;
    std::string project_address;
    std::string construction_date;
    std::string constructor_unit;
    std::string design_unit;
    std::string supervision_unit;
    std::string reserved_text1;
    std::string concrete_producer;
    std::string agent_unit;
    std::string agent_date;
    std::string report_serial;
    std::string examine_serial;
    std::string reserved_text2;
    std::string examine_basis;
    std::string examine_condition;
    std::vector<ComponentInfo> components;
};

}  // namespace rebound
