// Curve files that must not evaluate, and components to evaluate, shared by
// the tests of the curve check, of rebound-cli evaluate and of the window's
// calculation command. Each curve is made at a given path by a small writer,
// so the bytes are explained here.
#pragma once

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "evaluation/strength_curve.h"
#include "fixtures.h"
#include "model/rebound_file.h"

namespace rebound::test {

// A curve file of rows x columns values all equal to `value`, except
// `special` at position `at` (row * columns + column); only the first `keep`
// values are written (all when negative).
inline std::string curve_file_bytes(int rows, int columns, float value = 30.0f, int at = -1,
                                    float special = 0.0f, int keep = -1) {
    Bytes b;
    b.i32(rows).i32(columns).i32(0).f32(0.0f).i32(0).f32(0.0f);
    const int n = keep < 0 ? rows * columns : keep;
    for (int k = 0; k < n; ++k) b.f32(k == at ? special : value);
    return b.str();
}

struct UnusableCurve {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;  // creates it at the path
    CurveDefect::Kind kind;
    const char* says;  // part of the English description of what is wrong
};

inline std::vector<UnusableCurve> unusable_curves() {
    namespace fs = std::filesystem;
    using Kind = CurveDefect::Kind;
    const auto file = [](std::string bytes) { return [bytes](const fs::path& p) { write_file(p, bytes); }; };
    std::vector<UnusableCurve> curves = {
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, Kind::Folder, "folder"},
        {"empty", file(""), Kind::TooSmall, "announces 0 rows and 0 columns"},
        {"header only", file(curve_file_bytes(201, 13, 30.0f, -1, 0.0f, 0)), Kind::ValuesMissing,
         "holds 0 of the 2613 values"},
        {"cut after row 99", file(curve_file_bytes(201, 13, 30.0f, -1, 0.0f, 100 * 13)), Kind::ValuesMissing,
         "holds 1300 of the 2613 values"},
        {"NaN value",
         file(curve_file_bytes(201, 13, 30.0f, 13 * 46 + 4, std::numeric_limits<float>::quiet_NaN())),
         Kind::ValueNotFinite, "row 46, column 4 (counted from 0) is nan"},
        {"negative value", file(curve_file_bytes(201, 13, 30.0f, 2612, -3.5f)), Kind::ValueOutOfRange,
         "row 200, column 12 (counted from 0) is -3.5 MPa, outside 0 to 150 MPa"},
        {"100 x 13 header", file(curve_file_bytes(100, 13)), Kind::TooSmall,
         "announces 100 rows and 13 columns; the evaluation needs at least 201 rows and 13 columns"},
    };
#ifndef _WIN32
    // A pipe would block the open until a writer comes; it is refused unopened.
    curves.push_back({"FIFO", [](const fs::path& p) { ::mkfifo(p.c_str(), 0600); }, Kind::NotRegularFile,
                      "not a regular file"});
#endif
    return curves;
}

// A component named `name` (ANSI bytes) whose areas have sixteen equal
// readings R at 0 degrees on a horizontal surface, with carbonation index k:
// {R, k} per area.
inline ComponentInfo equal_readings_component(const std::string& name,
                                              const std::vector<std::pair<int, int>>& areas,
                                              int pump_tag = 0) {
    ComponentInfo c(today());
    c.component_name = name;
    c.pump_tag = static_cast<std::uint8_t>(pump_tag);
    for (auto [rebound, carbonation] : areas) {
        AreaData a;
        a.readings.fill(static_cast<std::uint8_t>(rebound));
        a.carbonation_index = static_cast<std::uint8_t>(carbonation);
        c.add_area(a);
    }
    return c;
}

}  // namespace rebound::test
