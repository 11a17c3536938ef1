// Small writers that build binary fixtures inside the tests, so that every
// byte of a test file is explained by code.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/exchange.h"
#include "model/rebound_file.h"
#include "platform/file_error.h"
#include "test_clock.h"

namespace rebound::test {

// The message of a failed result; empty for a successful one.
template <class T>
std::string error_message(const Result<T>& result) {
    return result ? std::string() : result.error().message;
}

// Loads `path` into `project` with the tests' clock; false, with the message
// in `error`, on failure.
inline bool load_project(ReboundFile& project, const std::filesystem::path& path,
                         std::string* error = nullptr) {
    const Result<void> loaded = project.load(path, today());
    if (!loaded && error) *error = loaded.error().message;
    return loaded.ok();
}

// What an import gives, as the window tells the cases apart: a component, a
// file that could not be opened (the command ends silently) or a failure
// (the command says so).
enum class ImportOutcome { Imported, CannotOpen, Failed };

// Imports `path` with the tests' clock; `out` receives the component only on
// success, `error` the message of a failure.
inline ImportOutcome import_into(const std::filesystem::path& path, ComponentInfo& out,
                                 std::string* error = nullptr) {
    Result<ComponentInfo> imported = import_component_file(path, fixed_clock());
    if (imported) {
        out = std::move(*imported);
        return ImportOutcome::Imported;
    }
    if (error) *error = imported.error().message;
    return imported.error().kind == FileError::Kind::CannotOpen ? ImportOutcome::CannotOpen
                                                                : ImportOutcome::Failed;
}

// Appends little-endian values to a byte string.
class Bytes {
public:
    Bytes& u8(std::uint8_t v) {
        s_.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
    Bytes& f32(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return u32(bits);
    }
    Bytes& raw(std::string_view b) {
        s_.append(b);
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        s_.append(n, '\0');
        return *this;
    }
    // Length-prefixed text of the project file.
    Bytes& text(std::string_view t) {
        i32(static_cast<std::int32_t>(t.size()));
        return raw(t);
    }
    // Fixed-width text field padded with zero bytes.
    Bytes& fixed(std::string_view t, std::size_t n) {
        s_.append(t.substr(0, n));
        return zeros(n - std::min(n, t.size()));
    }
    const std::string& str() const { return s_; }
    std::size_t size() const { return s_.size(); }

private:
    std::string s_;
};

// One device area record (40 bytes).
struct DeviceArea {
    std::uint8_t readings[16]{};
    std::uint8_t angle = 0, surface = 0, carbonation = 0, spare = 0;
    float mean = 0, angle_corr = 0, surface_corr = 0, fourth = 0, fifth = 0;
};

// A device record: the 96-byte header and `areas`. `count` overrides the area
// count byte when it should disagree with the areas written.
inline std::string device_record(std::string_view name, const std::vector<DeviceArea>& areas, int count = -1,
                                 std::uint8_t pump = 1, float avg = 0, float min = 0, float sd = 0,
                                 float est = 0) {
    Bytes b;
    b.fixed(name, 8)
        .u32(0x2D4A0000u)  // a date stamp the importer ignores
        .fixed("DT1", 8)
        .fixed("DT2", 8)
        .fixed("SN-0042", 8)
        .fixed("DT4", 8)
        .zeros(16)
        .u8(static_cast<std::uint8_t>(count < 0 ? areas.size() : std::size_t(count)))
        .u8(pump)
        .u8(0)
        .u8(3)
        .fixed("normal.cur", 16)
        .f32(avg)
        .f32(min)
        .f32(sd)
        .f32(est);
    for (const DeviceArea& a : areas) {
        b.raw(std::string_view(reinterpret_cast<const char*>(a.readings), 16))
            .u8(a.angle)
            .u8(a.surface)
            .u8(a.carbonation)
            .u8(a.spare)
            .f32(a.mean)
            .f32(a.angle_corr)
            .f32(a.surface_corr)
            .f32(a.fourth)
            .f32(a.fifth);
    }
    return b.str();
}

inline void write_file(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A project with GBK texts, several components and areas whose every field
// holds a distinct value, for round trips.
inline ReboundFile sample_project(int components = 3, int areas_each = 4) {
    ReboundFile p;
    p.project_name = "\xB2\xE2\xCA\xD4\xB9\xA4\xB3\xCC";  // GBK "测试工程"
    p.project_address = "No. 1 Road";
    p.construction_date = "2026-03-01";
    p.constructor_unit = "Builder";
    p.design_unit = "Designer";
    p.supervision_unit = "Supervisor";
    p.reserved_text1 = "r1";
    p.concrete_producer = "Mixer";
    p.agent_unit = "Agent";
    p.agent_date = "2026-04-02";
    p.report_serial = "R-17";
    p.examine_serial = "M-9";
    p.reserved_text2 = "r2";
    p.examine_basis = "JGJ/T 23";
    p.examine_condition = "\xC2\xA5\xB0\xE5";  // GBK "楼板"
    for (int c = 0; c < components; ++c) {
        ComponentInfo comp;
        comp.component_name = "B" + std::to_string(c + 1);
        comp.device_serial = "SN" + std::to_string(c);
        comp.examine_date = "2026-05-0" + std::to_string(c % 9 + 1);
        comp.component_condition = "\xD6\xF9";  // GBK "柱"
        comp.pump_tag = static_cast<std::uint8_t>(c % 2);
        comp.carbonation_mode = 1;
        comp.rep_carbonation_index = static_cast<std::uint8_t>(c + 2);
        comp.strength_degree = static_cast<std::uint8_t>(c);
        comp.strength_avg = 31.26f + static_cast<float>(c);
        comp.strength_min = 20.1f;
        comp.strength_delta = 6.0553f;
        comp.strength_estimate = 19.04f;
        for (int a = 0; a < areas_each; ++a) {
            AreaData area;
            for (int r = 0; r < 16; ++r) area.readings[r] = static_cast<std::uint8_t>(30 + r + a + c);
            area.angle_index = static_cast<std::uint8_t>(a % 9);
            area.surface_index = static_cast<std::uint8_t>(a % 3);
            area.carbonation_index = static_cast<std::uint8_t>(a % 14);
            area.reserved1 = 7;
            area.mean_rebound = 36.26f + static_cast<float>(a);
            area.angle_correction = -2.3f;
            area.surface_correction = 1.75f;
            area.converted_strength = 29.2f;
            area.pump_correction = 1.5f;
            area.reserved2 = 9;
            area.area_strength = 30.7f + static_cast<float>(a);
            comp.add_area(area);
        }
        p.add_component(comp);
    }
    return p;
}

}  // namespace rebound::test
