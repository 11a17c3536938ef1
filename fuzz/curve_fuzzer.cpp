// Strength curve file (.cur): read the way the main window and the curve
// dialog read it (through a stream). The curve never holds more than
// kMaxCurveValues values, holds exactly what its header announces otherwise,
// counts the values the file did not hold, and reads back unchanged from its
// own bytes. The usability check agrees with what it checks, and a curve it
// passes converts every area to a strength within its range or to a blank.
//
// Inputs whose header announces between kSkipAbove and kMaxCurveValues values
// are passed over: they run the same code as smaller counts, only a million
// times longer, and would take the fuzzer's time. The unit tests read such
// headers; counts beyond kMaxCurveValues are fuzzed, being cheap.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>

#include "evaluation/evaluation.h"
#include "evaluation/strength_curve.h"
#include "fileio/byte_io.h"
#include "fuzz_check.h"
#include "memory_stream.h"

namespace {
constexpr std::int64_t kSkipAbove = 1 << 14;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    if (size >= 8) {
        const std::int64_t rows = std::int32_t(load_u32(data)), columns = std::int32_t(load_u32(data + 4));
        const std::int64_t announced = rows * columns;
        if (announced > kSkipAbove && announced <= kMaxCurveValues) return -1;  // not kept in the corpus
    }
    fuzz::MemoryStream file(data, size);
    Strength_Curve curve;
    curve.read_from(file);

    const std::int64_t announced = std::int64_t{curve.row_count} * curve.column_count;
    FUZZ_CHECK(curve.values.size() <= std::size_t(kMaxCurveValues));
    if (announced > 0) {
        FUZZ_CHECK(std::int64_t(curve.values.size()) == announced);
    } else {
        FUZZ_CHECK(curve.values.empty());
    }

    const std::int64_t in_file = size > kCurveHeaderSize ? std::int64_t(size - kCurveHeaderSize) / 4 : 0;
    FUZZ_CHECK(curve.padded_values == (announced > 0 ? std::max<std::int64_t>(0, announced - in_file) : 0));

    const std::optional<CurveDefect> defect = find_curve_defect(curve);
    if (defect) {
        FUZZ_CHECK(!describe(*defect).empty());
    } else {
        FUZZ_CHECK(curve.row_count >= kEvaluationCurveRows && curve.column_count >= kEvaluationCurveColumns);
        FUZZ_CHECK(curve.padded_values == 0);
        for (float v : curve.values) FUZZ_CHECK(std::isfinite(v) && v >= 0.0f && v <= kMaxCurveStrength);
        // Areas across the whole range of rebound values and depths.
        ComponentInfo component;
        for (int k = 0; k < 28; ++k) {
            AreaData area;
            area.readings.fill(static_cast<std::uint8_t>(15 + 2 * k));
            area.surface_index = static_cast<std::uint8_t>(k % 3);
            area.carbonation_index = static_cast<std::uint8_t>(k % 15);
            component.add_area(area);
        }
        const ComponentEvaluation result = evaluate_component(component, curve);
        std::size_t blanks = 0;
        for (const AreaData& area : component.areas) {
            FUZZ_CHECK(area.converted_strength >= 0.0f && area.converted_strength <= kMaxCurveStrength);
            if (area.converted_strength == 0.0f) ++blanks;
        }
        FUZZ_CHECK(result.outside_curve.size() == blanks);
    }

    const std::string saved = curve.to_bytes();
    std::istringstream saved_file(saved);
    Strength_Curve again;
    again.read_from(saved_file);
    FUZZ_CHECK(again.values.size() == curve.values.size());
    FUZZ_CHECK(again.to_bytes() == saved);
    return 0;
}
