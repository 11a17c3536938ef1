// Pairs file of a strength curve fit: the bytes are read as the CSV text
// rebound-cli curve fit and the curve dialog read. Every pair read passes the
// pair check and writes back to text that reads to the same pairs; a fit of
// them either fails with a reason or gives finite figures, and the curve built
// from it passes the evaluation's curve check.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "evaluation/curve_fit.h"
#include "evaluation/curve_pairs.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Result<std::vector<CurvePair>> read = parse_pairs_csv(text);
    if (!read) {
        FUZZ_CHECK(read.error().message.rfind("line ", 0) == 0 ||
                   read.error().message.rfind("the file is empty", 0) == 0);
        return 0;
    }
    for (const CurvePair& p : *read) FUZZ_CHECK(!pair_defect(p));
    const Result<std::vector<CurvePair>> again = parse_pairs_csv(pairs_csv_text(*read));
    FUZZ_CHECK(again && *again == *read);

    const CurveFitOutcome outcome = fit_curve(*read);
    FUZZ_CHECK(outcome.fit.has_value() != !outcome.error.empty());
    if (!outcome.fit) return 0;
    const CurveFit& fit = *outcome.fit;
    FUZZ_CHECK(fit.n == read->size() && fit.fitted.size() == fit.n);
    FUZZ_CHECK(std::isfinite(fit.formula.b) && std::isfinite(fit.formula.c));
    const Strength_Curve curve = build_curve(fit.formula);
    FUZZ_CHECK(!find_curve_defect(curve));
    return 0;
}
