// Strength curve file (.cur): read the way the main window and the curve
// dialog read it (through a stream). The curve never holds more than
// kMaxCurveValues values, holds exactly what its header announces otherwise,
// and reads back unchanged from its own bytes.
//
// Inputs whose header announces between kSkipAbove and kMaxCurveValues values
// are passed over: they run the same code as smaller counts, only a million
// times longer, and would take the fuzzer's time. The unit tests read such
// headers; counts beyond kMaxCurveValues are fuzzed, being cheap.
#include <cstdint>
#include <sstream>
#include <string>

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

    const std::string saved = curve.to_bytes();
    std::istringstream saved_file(saved);
    Strength_Curve again;
    again.read_from(saved_file);
    FUZZ_CHECK(again.values.size() == curve.values.size());
    FUZZ_CHECK(again.to_bytes() == saved);
    return 0;
}
