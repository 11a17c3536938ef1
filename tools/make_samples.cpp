// make-samples CURVE OUTDIR: writes a few device component files, as the
// hammer writes them, into OUTDIR, so that a new installation has something to
// import, and a pairs file of 40 cube tests to build a strength curve from. The shipped data/samples/ are produced with
//   make-samples data/curve/normal.cur data/samples
//
// The readings come from a fixed pseudo-random sequence; the results in the
// files are those of our own evaluation with CURVE, so that the samples are
// consistent with the shipped standard curve.
//
// The device record is written by the same field table the importer reads
// (ComponentInfo::write_device_record).
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "evaluation/curve_pairs.h"
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

// The device record of `c` as the hammer writes it, with the hammer's own
// texts and a date stamp of 2026-11-20.
std::string device_record(ComponentInfo c) {
    c.device_text1 = "RH-01";
    c.device_text2 = "V1.2";
    c.device_serial = "0412-07";
    c.device_text4.clear();
    c.curve_filename = "normal.cur";
    for (AreaData& a : c.areas) a.reserved1 = 0;  // the spare byte
    ByteWriter out;
    c.write_device_record(out, (46u << 25) | (11u << 21) | (20u << 16));
    return out.bytes();
}

// 40 cube tests as a laboratory records them: mean rebound value, carbonation
// depth and crushing strength, the strengths scattering up to 10 % around
// 0.0250 Rm^2.0108 10^(-0.0358 dm). The same fixed sequence as the readings,
// so that the file is the same on every machine.
std::string cube_pairs() {
    std::uint32_t state = 2026u;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 16) % static_cast<std::uint32_t>(range));
    };
    std::vector<rebound::CurvePair> pairs;
    for (int i = 0; i < 40; ++i) {
        const double rm = 22.0 + next(300) / 10.0;
        const double depth = 0.5 * next(9);
        const double scatter = 1.0 + (next(201) - 100) / 1000.0;
        const double strength = 0.0250 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * depth) * scatter;
        pairs.push_back({rm, depth, std::round(strength * 10.0) / 10.0});
    }
    return rebound::pairs_csv_text(pairs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "Usage: make-samples CURVE OUTDIR\nWrites sample device component files into OUTDIR.\n";
        return 2;
    }
    const rebound::Result<rebound::Strength_Curve> curve = rebound::read_curve_file(argv[1]);
    if (!curve) {
        std::cerr << "make-samples: " << argv[1] << ": " << curve.error().message << "\n";
        return 1;
    }
    const std::filesystem::path folder(argv[2]);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    const std::vector<Sample> samples = {
        {"KZ-1.cmp", "KZ-1", 1, 10, 38, 0, 0, 17u},  // column, pumped, tested level
        {"LB-2.tmp", "LB-2", 1, 10, 34, 7, 2, 29u},  // slab, tested from below
        {"QL-3.CMP", "QL-3", 0, 12, 42, 0, 0, 41u},  // beam, not pumped
    };
    for (const Sample& s : samples) {
        const std::string bytes = device_record(make_component(s, *curve));
        const std::filesystem::path target = folder / s.file;
        const rebound::Result<void> written = rebound::platform::write_file_atomically(
            target,
            [&](rebound::platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
        if (!written) {
            std::cerr << "make-samples: " << target.string()
                      << ": cannot be written: " << written.error().message << "\n";
            return 1;
        }
        std::cout << target.string() << ": " << s.areas << " areas\n";
    }
    const std::string pairs = cube_pairs();
    const std::filesystem::path target = folder / "cube-pairs.csv";
    const rebound::Result<void> written = rebound::platform::write_file_atomically(
        target, [&](rebound::platform::ByteSink& sink) { return sink.write(pairs.data(), pairs.size()); });
    if (!written) {
        std::cerr << "make-samples: " << target.string() << ": cannot be written: " << written.error().message
                  << "\n";
        return 1;
    }
    std::cout << target.string() << ": 40 pairs\n";
    return 0;
}
