// make-samples CURVE OUTDIR: writes a few device component files, as the
// hammer writes them, into OUTDIR, so that a new installation has something to
// import. The shipped data/samples/ are produced with
//   make-samples data/curve/normal.cur data/samples
//
// The readings come from a fixed pseudo-random sequence; the results in the
// files are those of our own evaluation with CURVE, so that the samples are
// consistent with the shipped standard curve.
//
// Device record (little-endian): 96-byte header
//   +0 name[8] +8 u32 date stamp +12 text1[8] +20 text2[8] +28 serial[8]
//   +36 text4[8] +44 16 reserved bytes +60 u8 area count +61 u8 pumped
//   +62 u8 carbonation mode +63 u8 representative carbonation index
//   +64 curve name[16] +80 f32 mean +84 f32 minimum +88 f32 deviation
//   +92 f32 estimate
// then one 40-byte record per area: 16 readings, u8 angle, u8 surface,
// u8 carbonation, u8 spare, f32 mean rebound, f32 angle correction,
// f32 surface correction, f32 pumped correction, f32 area strength.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "evaluation/evaluation.h"
#include "fileio/byte_io.h"
#include "platform/files.h"

namespace {

using rebound::AreaData;
using rebound::ByteWriter;
using rebound::ComponentInfo;

struct Sample {
    const char* file;
    const char* name;
    std::uint8_t pumped;
    int areas;
    int base;  // typical rebound value
    std::uint8_t angle_index;
    std::uint8_t surface_index;
    std::uint32_t seed;
};

// Readings scatter a few points around the area's own level, as on a real
// surface; every third area has its carbonation depth measured.
ComponentInfo make_component(const Sample& s, const rebound::Strength_Curve& curve) {
    ComponentInfo c;
    c.component_name = s.name;
    c.pump_tag = s.pumped;
    std::uint32_t state = s.seed;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(range));
    };
    for (int i = 0; i < s.areas; ++i) {
        AreaData a;
        const int level = s.base + next(7) - 3;
        for (auto& r : a.readings) {
            r = static_cast<std::uint8_t>(level + next(9) - 4);
        }
        a.angle_index = s.angle_index;
        a.surface_index = s.surface_index;
        a.carbonation_index = static_cast<std::uint8_t>(i % 3 == 0 ? 2 + next(6) : 0);
        c.add_area(a);
    }
    rebound::evaluate_component(c, curve);
    return c;
}

std::string device_record(const ComponentInfo& c) {
    ByteWriter out;
    out.fixed_text(c.component_name, 8);
    out.u32((46u << 25) | (11u << 21) | (20u << 16));  // 2026-11-20, as the hammer stamps it
    out.fixed_text("RH-01", 8);
    out.fixed_text("V1.2", 8);
    out.fixed_text("0412-07", 8);
    out.fixed_text("", 8);
    out.fixed_text("", 16);
    out.u8(static_cast<std::uint8_t>(c.area_count()));
    out.u8(c.pump_tag);
    out.u8(c.carbonation_mode);
    out.u8(c.rep_carbonation_index);
    out.fixed_text("normal.cur", 16);
    out.f32(c.strength_avg);
    out.f32(c.strength_min);
    out.f32(c.strength_delta);
    out.f32(c.strength_estimate);
    for (const AreaData& a : c.areas) {
        out.write(a.readings.data(), a.readings.size());
        out.u8(a.angle_index);
        out.u8(a.surface_index);
        out.u8(a.carbonation_index);
        out.u8(0);
        out.f32(a.mean_rebound);
        out.f32(a.angle_correction);
        out.f32(a.surface_correction);
        out.f32(a.pump_correction);
        out.f32(a.area_strength);
    }
    return out.bytes();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: make-samples CURVE OUTDIR\nWrites sample device component files into OUTDIR.\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "make-samples: " << argv[1] << ": cannot be opened\n";
        return 1;
    }
    rebound::Strength_Curve curve;
    curve.read_from(in);
    const std::filesystem::path folder(argv[2]);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    const std::vector<Sample> samples = {
        {"KZ-1.cmp", "KZ-1", 1, 10, 38, 0, 0, 17u},  // column, pumped, tested level
        {"LB-2.tmp", "LB-2", 1, 10, 34, 7, 2, 29u},  // slab, tested from below
        {"QL-3.CMP", "QL-3", 0, 12, 42, 0, 0, 41u},  // beam, not pumped
    };
    for (const Sample& s : samples) {
        const std::string bytes = device_record(make_component(s, curve));
        std::string error;
        const std::filesystem::path target = folder / s.file;
        if (!rebound::platform::write_file_atomically(
                target,
                [&](rebound::platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); },
                &error)) {
            std::cerr << "make-samples: " << target.string() << ": cannot be written: " << error << "\n";
            return 1;
        }
        std::cout << target.string() << ": " << s.areas << " areas\n";
    }
    return 0;
}
