// The project file (.prj) and the component record it shares with the
// exported component file (.xcmp). Binary, little-endian, no padding; the
// fields are those of the tables in model/record_layout.h:
//
//   project   : 15 texts (project_name ... examine_condition)
//               uint32 component count N, then N component records
//   text      : int32 length L (never negative), then L bytes, no terminator
//   component : 10 texts (component_name ... component_condition)
//               fixed block, 25 bytes: 5 uint8 (pump_tag ... strength_degree),
//               4 float32 (strength_avg ... strength_estimate), uint32 area
//               count M
//               then M area records of 50 bytes
//   area      : 16 readings, 4 uint8 (angle_index ... reserved1), 5 float32
//               (mean_rebound ... pump_correction), reserved2, reserved3
//               (uint8), area_strength, reserved4 (float32, unaligned);
//               reserved3 and reserved4 are always 0 and ignored on reading
#include "fileio/project_file.h"

#include <algorithm>

#include "fileio/byte_io.h"
#include "fileio/record_codec.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/input_file.h"

namespace rebound {

namespace {

void read_header(ByteReader& in, ReboundFile& project) {
    records::for_each(records::kProjectTexts,
                      [&](const auto& f) { in.text(project.*f.member, f.label, f.keeps_zero_bytes); });
}

// A project ends with its last component record: bytes after it mean a
// count smaller than the records that follow, and a save would drop them.
void require_project_end(const ByteReader& in, std::uint64_t count) {
    in.require_end("the end of the project",
                   "expected the file to end there, after the " + std::to_string(count) +
                       (count == 1 ? " component" : " components") + " its component count announces");
}

// Reads component `index` (from 0) of `count`; an error names it.
void read_component(ByteReader& in, ComponentInfo& component, std::uint32_t index, std::uint32_t count) {
    try {
        component.read_record(in);
    } catch (const FormatError& e) {
        FileError error = e.error();
        const std::string n = std::to_string(std::uint64_t{index} + 1), total = std::to_string(count);
        error.prefix("component_of", {n, total}, "component " + n + " of " + total);
        throw FormatError(std::move(error));
    }
}

}  // namespace

void ComponentInfo::write_record(ByteWriter& out) const {
    records::for_each(records::kComponentTexts, [&](const auto& f) { out.text(this->*f.member, f.label); });
    if (areas.size() > UINT32_MAX) {
        FileError error;
        error.kind = FileError::Kind::WriteFailed;
        error.field = records::kComponentAreasLabel;
        error.say("too_many_areas", {}, "a component has too many areas to be stored");
        throw WriteError(std::move(error));
    }
    records::encode(records::kComponentFixedBlock, *this, out.claim(kComponentFixedBlockSize),
                    static_cast<std::uint32_t>(areas.size()));
    for (const AreaData& a : areas) {
        records::encode(records::kAreaValues, a, out.claim(kAreaRecordSize));
    }
}

void ComponentInfo::read_record(ByteReader& in) {
    records::for_each(records::kComponentTexts,
                      [&](const auto& f) { in.text(this->*f.member, f.label, f.keeps_zero_bytes); });
    std::uint32_t count = 0;
    records::decode(records::kComponentFixedBlock,
                    in.take(kComponentFixedBlockSize, records::kComponentFixedBlockLabel), *this, &count);
    in.require(count, kAreaRecordSize, records::kComponentAreasLabel);
    areas.resize(count);
    std::uint32_t i = 0;
    try {
        for (; i < count; ++i) {
            records::decode(records::kAreaValues, in.take(kAreaRecordSize, "an area record"), areas[i]);
        }
    } catch (const FormatError& e) {
        // Only a source that delivers less than it announced gets here.
        areas.resize(i);
        FileError error = e.error();
        const std::string n = std::to_string(std::uint64_t{i} + 1), total = std::to_string(count);
        error.prefix("area_record_of", {n, total}, "area record " + n + " of " + total);
        throw FormatError(std::move(error));
    }
}

void ReboundFile::write_to(ByteWriter& out) const {
    records::for_each(records::kProjectTexts, [&](const auto& f) { out.text(this->*f.member, f.label); });
    if (components.size() > UINT32_MAX) {
        FileError error;
        error.kind = FileError::Kind::WriteFailed;
        error.field = records::kComponentCountLabel;
        error.say("too_many_components", {}, "the project has too many components to be stored");
        throw WriteError(std::move(error));
    }
    out.u32(static_cast<std::uint32_t>(components.size()));
    for (const ComponentInfo& c : components) {
        c.write_record(out);
    }
}

void ReboundFile::read_from(ByteReader& in, std::string_view today) {
    reset(today);
    read_header(in, *this);
    const std::uint32_t count = in.u32(records::kComponentCountLabel);
    // Reserve only what the remaining bytes could hold, and no more memory
    // than they take, so that a corrupt count cannot make us allocate; a file
    // that breaks off still keeps the components read completely before the
    // break.
    const std::uint64_t fit =
        in.remaining() / std::max<std::uint64_t>(records::kMinComponentRecordSize, sizeof(ComponentInfo));
    components.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, fit)));
    for (std::uint32_t i = 0; i < count; ++i) {
        ComponentInfo& c = components.emplace_back();
        try {
            read_component(in, c, i, count);
        } catch (...) {
            components.pop_back();  // a component whose record broke off is not kept
            throw;
        }
    }
}

void ReboundFile::read_file(ByteReader& in, std::string_view today) {
    read_from(in, today);
    require_project_end(in, components.size());
}

Result<void> ReboundFile::save(const std::filesystem::path& path) const {
    return platform::write_file_atomically(path, [this](platform::ByteSink& sink) {
        ByteWriter out(sink);
        write_to(out);
        out.flush();
        return true;
    });
}

Result<void> ReboundFile::load(const std::filesystem::path& path, std::string_view today) {
    Result<platform::InputFile> file = platform::InputFile::open(path);
    if (!file) {
        return file.error();
    }
    return at_file_boundary(path, FileError::Kind::Malformed, [&] {
        ByteReader in(*file);
        read_file(in, today);
    });
}

ProjectFileReader::ProjectFileReader(ProjectFileReader&&) noexcept = default;
ProjectFileReader& ProjectFileReader::operator=(ProjectFileReader&&) noexcept = default;
ProjectFileReader::~ProjectFileReader() = default;

Result<ProjectFileReader> ProjectFileReader::open(const std::filesystem::path& path) {
    Result<platform::InputFile> file = platform::InputFile::open(path);
    if (!file) {
        return file.error();
    }
    ProjectFileReader reader;
    reader.path_ = path;
    reader.file_ = std::make_unique<platform::InputFile>(std::move(*file));
    const Result<void> header = at_file_boundary(path, FileError::Kind::Malformed, [&] {
        reader.in_ = std::make_unique<ByteReader>(*reader.file_);
        read_header(*reader.in_, reader.header_);
        reader.count_ = reader.in_->u32(records::kComponentCountLabel);
    });
    if (!header) {
        return header.error();
    }
    return reader;
}

Result<bool> ProjectFileReader::next(ComponentInfo& out) {
    if (next_ >= count_) {
        const Result<void> end =
            at_file_boundary(path_, FileError::Kind::Malformed, [&] { require_project_end(*in_, count_); });
        if (!end) return end.error();
        return false;
    }
    const Result<void> read = at_file_boundary(path_, FileError::Kind::Malformed,
                                               [&] { read_component(*in_, out, next_, count_); });
    if (!read) {
        return read.error();
    }
    ++next_;
    return true;
}

}  // namespace rebound
