// Inspection by batch and correction by cores.
//
// A batch is a set of components judged together: the figures are formed over
// every test area of every component of the batch, and the batch gets one
// estimated strength, or the verdict that it must be judged component by
// component. Core (or cube) strengths taken at some test areas correct the
// area strengths of the batch, by a common amount or a common coefficient.
//
// Everything here reads the stored figures of the project (area_strength and
// converted_strength of the areas, the four figures of a component) and
// changes nothing: corrected strengths are figures beside the stored ones,
// never in their place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "model/rebound_file.h"

namespace rebound {

// The rules of batch inspection and of the correction by cores, in one place;
// the user guide quotes them.
namespace batch_rules {
// Estimate of the batch: mean - k x standard deviation; 1.645 gives 95 %
// assurance. The operator may enter another k (interval estimates).
inline constexpr double kDefaultK = 1.645;
inline constexpr double kMinK = 0.5;  // k must be at least this ...
inline constexpr double kMaxK = 3.0;  // ... and at most this
// The batch estimate is not valid when the mean is below kLowMeanLimit and
// the standard deviation above kLowMeanMaxSd, or when the mean lies from
// kLowMeanLimit to kHighMeanLimit (both included) and the standard deviation
// is above kMidMeanMaxSd. Mean and deviation are compared as shown, to 0.1 MPa.
inline constexpr double kLowMeanLimit = 25.0;   // MPa
inline constexpr double kLowMeanMaxSd = 4.5;    // MPa
inline constexpr double kHighMeanLimit = 60.0;  // MPa
inline constexpr double kMidMeanMaxSd = 5.5;    // MPa
// Sampling: at least this share of the components the batch holds on site ...
inline constexpr double kMinSampleShare = 0.30;
// ... and at least this many components (all of them when the batch holds
// fewer).
inline constexpr std::size_t kMinSampleComponents = 10;
// Pairs of core and test area needed for a correction.
inline constexpr std::size_t kMinCorePairs = 6;
// Limits of what the operator may enter.
inline constexpr double kMaxCoreStrength = 200.0;  // MPa
// A stored area strength outside 0 to this (or not a number) is no strength
// concrete can have: the file was damaged or written by something else.
inline constexpr double kMaxAreaStrength = 200.0;  // MPa
inline constexpr std::uint32_t kMaxLotSize = 1000000;
// Whether k lies within its range, from kMinK to kMaxK: beyond it the
// estimate says nothing a standard would accept.
inline bool k_in_range(double k) {
    return k >= kMinK && k <= kMaxK;
}
// Figures are shown and compared to 0.1 MPa, the coefficient to 0.001.
inline constexpr int kStrengthDecimals = 1;
inline constexpr int kCoefficientDecimals = 3;
}  // namespace batch_rules

enum class CorrectionMethod : std::uint8_t {
    Amount,       // delta = mean(core) - mean(area strength at the cores), added
    Coefficient,  // eta = mean(core / area strength at the core), multiplied
};

// What the project keeps about its batch (evaluation/spare_texts.h says how).
struct BatchSettings {
    bool enabled = false;  // the project is inspected by batch
    double k = batch_rules::kDefaultK;
    std::uint32_t lot_size = 0;  // components the batch holds on site; 0: not stated
    CorrectionMethod method = CorrectionMethod::Amount;
    bool operator==(const BatchSettings&) const = default;
};

// A core (or cube) strength and the test area it was taken at.
struct CoreSample {
    std::size_t component = 0;  // position in the project, from 0
    std::size_t area = 0;       // position in the component, from 0
    double strength = 0.0;      // MPa
    bool operator==(const CoreSample&) const = default;
};

// A value rounded as it is shown: `decimals` places, the exact binary value
// rounded to the nearest (halves to even), as one_decimal prints it.
double round_to(double value, int decimals);
inline double round_tenth(double value) { return round_to(value, batch_rules::kStrengthDecimals); }

// Mean, standard deviation, minimum and estimate of a set of area strengths,
// by the rules of the component evaluation: the deviation with divisor n - 1
// (0 for fewer than two areas); the estimate is the minimum with fewer than
// 10 areas or a minimum below 10.0 MPa, else mean - 1.645 x deviation.
struct StrengthFigures {
    std::size_t areas = 0;
    double mean = 0.0;
    double sd = 0.0;
    double min = 0.0;
    double estimate = 0.0;
};

// Why a batch estimate is not valid.
struct BatchReason {
    enum class Kind {
        NoComponents,           // the batch holds no component
        ComponentWithoutAreas,  // `components` lists them
        AreaOutsideCurve,       // `areas` lists them
        TooFewAreas,            // fewer than two areas: no deviation
        LowMeanSpread,          // mean below 25.0 MPa and deviation above 4.5 MPa
        MidMeanSpread,          // mean 25.0 to 60.0 MPa and deviation above 5.5 MPa
        ImplausibleArea,        // `areas` hold a stored strength outside 0 to 200 MPa or not a number
        EstimateNotPositive,    // the estimate is not a finite strength above 0
    };
    struct AreaRef {
        std::size_t component = 0;
        std::size_t area = 0;
        bool operator==(const AreaRef&) const = default;
    };
    Kind kind = Kind::NoComponents;
    std::vector<std::size_t> components;
    std::vector<AreaRef> areas;
};

// The batch line: n areas over `components` components, mean m and deviation
// S rounded to 0.1 MPa, estimate fe = m - k S rounded to 0.1 MPa.
struct BatchFigures {
    std::size_t components = 0;
    std::size_t areas = 0;
    double mean = 0.0;
    double sd = 0.0;
    double k = batch_rules::kDefaultK;
    double estimate = 0.0;
    bool has_sd = false;  // at least two areas
    bool valid = false;
    std::vector<BatchReason> reasons;  // empty when valid
};

// Advice on how many components were inspected against the batch on site.
struct SamplingWarning {
    enum class Kind {
        BelowShare,    // fewer than 30 % of the lot
        BelowMinimum,  // fewer than 10 components
        NotAll,        // a lot of fewer than 10: every component is needed
        MoreThanLot,   // more components inspected than the lot holds
    };
    Kind kind = Kind::BelowShare;
    std::size_t inspected = 0;
    std::size_t required = 0;
    std::uint32_t lot_size = 0;
};

// The correction found from the pairs of cores and areas.
struct Correction {
    CorrectionMethod method = CorrectionMethod::Amount;
    std::size_t pairs = 0;
    double core_mean = 0.0;  // mean of the core strengths
    double area_mean = 0.0;  // mean of the area strengths at the cores
    // delta (MPa, to 0.1) or eta (to 0.001), as shown and as applied.
    double value = 0.0;
    double apply(double strength) const {
        return method == CorrectionMethod::Amount ? strength + value : strength * value;
    }
};

// Why the pairs give no correction.
struct CorrectionError {
    enum class Kind {
        TooFewPairs,          // fewer than 6 pairs
        NoSuchComponent,      // a core names a component the project lacks
        NotInBatch,           // ... or one outside the components corrected
        NoSuchArea,           // a core names an area its component lacks
        AreaWithoutStrength,  // the area has no strength (outside the curve)
        BadStrength,          // a core strength not above 0 or above 200 MPa
        SameArea,             // two cores at one area
    };
    Kind kind = Kind::TooFewPairs;
    std::size_t pairs = 0;  // for TooFewPairs
    CoreSample core;        // the core concerned, for the others
};

struct ComponentBatchLine {
    std::size_t index = 0;  // position in the project, from 0
    // The component's own stored figures.
    std::size_t areas = 0;
    double mean = 0.0;
    double sd = 0.0;
    double min = 0.0;
    double estimate = 0.0;
    // Areas (from 0) whose stored strength is outside 0 to 200 MPa or not a
    // number: the component's figures are then not valid.
    std::vector<std::size_t> implausible_areas;
    // Its figures from the corrected area strengths, when there is a correction.
    std::optional<StrengthFigures> corrected;
};

struct BatchEvaluation {
    std::vector<ComponentBatchLine> components;
    BatchFigures batch;
    std::vector<SamplingWarning> sampling;
    // Without cores neither is set; with cores exactly one of them.
    std::optional<Correction> correction;
    std::optional<CorrectionError> correction_error;
    // The batch line and verdict from the corrected area strengths.
    std::optional<BatchFigures> corrected;
};

// An area holds a strength when its converted strength is above 0: the
// component evaluation gives a blank curve cell, an area outside the curve,
// and an area it could not convert a strength of 0.0.
bool area_has_strength(const AreaData& area);

// The ticked components (list_checked not 0), in project order.
std::vector<std::size_t> ticked_components(const ReboundFile& project);

StrengthFigures strength_figures(std::span<const double> strengths);

// The batch line and verdict over the strengths of every area of the batch;
// `reasons` holds what already makes the estimate not valid (components
// without areas, areas outside the curve), the spread rule is added to it.
BatchFigures batch_figures(std::span<const double> strengths, std::size_t components, double k,
                           std::vector<BatchReason> reasons);

// The verdict rule alone, for rounded figures; nullopt when valid.
std::optional<BatchReason::Kind> spread_verdict(double mean, double sd);

// Sampling advice for `inspected` components of a lot of `lot_size`
// (0: not stated, no advice).
std::vector<SamplingWarning> sampling_advice(std::size_t inspected, std::uint32_t lot_size);

// The correction from the cores, which must lie at areas of `components`.
// Either the correction or the reason there is none.
struct CorrectionOutcome {
    std::optional<Correction> correction;
    std::optional<CorrectionError> error;
};
CorrectionOutcome compute_correction(const ReboundFile& project, std::span<const std::size_t> components,
                                     std::span<const CoreSample> cores, CorrectionMethod method);

// Everything about a batch of the given components (positions from 0, each
// at most once, all within the project): component lines, batch line and
// verdict, sampling advice, and with cores the correction and the corrected
// figures.
BatchEvaluation evaluate_batch(const ReboundFile& project, std::span<const std::size_t> components,
                               const BatchSettings& settings, std::span<const CoreSample> cores);

// A table of cores, one per line: component number, area number (both from
// 1) and strength in MPa, separated by a comma, a semicolon or a tab (a CSV
// file, or cells pasted from a spreadsheet). Blank lines are skipped, and a
// first line that does not start with a number (column titles) too. Either the
// cores (positions from 0) or the first line that is wrong.
struct CoreTable {
    std::vector<CoreSample> cores;
    std::size_t error_line = 0;  // from 1; 0 when the table was read
    std::string error;           // English, one phrase
};
CoreTable parse_core_table(std::string_view text);

// The texts of the command-line tool and of the exports, in English.
std::string describe(const BatchReason& reason);
std::string describe(const SamplingWarning& warning);
std::string describe(const CorrectionError& error);
// "amount" or "coefficient", as the command line and the spare texts write it.
const char* method_name(CorrectionMethod method);
std::optional<CorrectionMethod> method_from_name(std::string_view name);

}  // namespace rebound
