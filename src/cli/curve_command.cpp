// curve: builds a strength curve file of one's own, fitted to paired tests
// (curve fit) or from a published formula (curve formula).
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "evaluation/curve_fit.h"
#include "evaluation/curve_pairs.h"
#include "fileio/exchange.h"
#include "model/number_text.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace rebound::cli {

namespace {

const char* const kFitSynopsis =
    "curve fit PAIRS.csv -o OUT.cur [--kind special|regional] [--report FIT.pdf] [--json] [--strict] "
    "[--recommended-pairs N] [--force]";
const char* const kFormulaSynopsis =
    "curve formula --a A --b B --c C --rm LO,HI --depth LO,HI --strength LO,HI -o OUT.cur "
    "[--kind special|regional] [--json] [--force]";

// Six significant digits: what a published formula is quoted with.
std::string figure(double value) {
    if (!std::isfinite(value)) return one_decimal(value);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, r.ptr);
}

std::string fixed(double value, int decimals) {
    if (!std::isfinite(value)) return one_decimal(value);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

std::optional<FigureRange> parse_range(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    const auto low = parse_pair_number(text.substr(0, comma));
    const auto high = parse_pair_number(text.substr(comma + 1));
    if (!low || !high) return std::nullopt;
    return FigureRange{*low, *high};
}

void json_range(JsonWriter& json, std::string_view name, const FigureRange& range) {
    json.key(name);
    json.begin_array();
    json.real(range.low);
    json.real(range.high);
    json.end_array();
}

// The figures in the order of the JSON object; a formula has no n, r, delta
// and er (null) and counts as accepted: it is taken as published.
// Printed after the curve (and its report) were written or refused, so that
// "written" tells what is on disk.
void print_json(const CurveFormula& formula, const CurveFit* fit, const CurveAcceptance& limits, bool accepted,
                bool written) {
    JsonWriter json(std::cout, false);
    json.begin_object();
    json.key("a");
    json.real(formula.a);
    json.key("b");
    json.real(formula.b);
    json.key("c");
    json.real(formula.c);
    json.member("n", static_cast<std::int64_t>(fit ? fit->n : 0));
    for (const auto& [name, value] : {std::pair<const char*, double>{"r", fit ? fit->r : 0.0},
                                      {"delta", fit ? fit->delta_percent : 0.0},
                                      {"er", fit ? fit->er_percent : 0.0}}) {
        json.key(name);
        if (fit) {
            json.real(value);
        } else {
            json.null();
        }
    }
    json.member("kind", limits.name);
    json.key("limits");
    json.begin_object();
    json.key("delta");
    json.real(limits.max_delta_percent);
    json.key("er");
    json.real(limits.max_er_percent);
    json.end_object();
    json.key("accepted");
    json.boolean(accepted);
    json.key("written");
    json.boolean(written);
    json_range(json, "rm", formula.rm);
    json_range(json, "depth", formula.depth);
    json_range(json, "strength", formula.strength);
    json.end_object();
    json.flush();
}

void print_formula(const CurveFormula& f) {
    std::cout << "f = A * Rm^B * 10^(C * dm): A = " << figure(f.a) << ", B = " << figure(f.b)
              << ", C = " << figure(f.c) << "\n";
    std::cout << "ranges: Rm " << one_decimal(f.rm.low) << " to " << one_decimal(f.rm.high) << ", dm "
              << one_decimal(f.depth.low) << " to " << one_decimal(f.depth.high) << " mm, strength "
              << one_decimal(f.strength.low) << " to " << one_decimal(f.strength.high) << " MPa\n";
}

// The output path: ".cur" appended unless present; a folder or no name is a
// usage error. Refuses to replace the standard curve without --force,
// whatever name or link reaches it: "normal.cur" at the end of the links,
// or the very file the curve folder's normal.cur is.
std::optional<std::filesystem::path> output_path(AppContext& context, const Arguments& a, int& status) {
    const std::optional<QString> chosen = a.value("output");
    if (!chosen) {
        status = usage_error("'curve' needs -o OUT.cur");
        return std::nullopt;
    }
    std::optional<std::filesystem::path> out = output_file_argument(*chosen, ".cur", status);
    if (!out) return std::nullopt;
    const std::optional<platform::FileId> id = platform::file_id(*out);
    const bool standard = id && (platform::save_destination(*out).filename() == "normal.cur" ||
                                 id == platform::file_id(context.curve_folder() / "normal.cur"));
    if (standard && !a.has("force")) {
        status = fail(*out, "is the standard curve and is not replaced without --force; nothing was written");
        return std::nullopt;
    }
    return out;
}

std::optional<CurveKind> kind_of(const Arguments& a, CurveKind fallback, int& status) {
    const std::optional<QString> named = a.value("kind");
    if (!named) return fallback;
    const auto kind = curve_kind_named(named->toStdString());
    if (!kind) status = usage_error("--kind must be special or regional, not '" + named->toStdString() + "'");
    return kind;
}

// Writes the curve; returns the exit status.
int write_curve(const CurveFormula& formula, const std::filesystem::path& out, bool json) {
    const Strength_Curve curve = build_curve(formula);
    const std::size_t filled = filled_cells(curve);
    if (filled == 0) {
        return fail(out, "no cell of the curve lies within the ranges, the curve would hold no strength; "
                         "nothing was written");
    }
    if (const Result<void> written = write_curve_file(curve, out); !written) {
        return fail(out, "cannot be written: " + written.error().message);
    }
    if (!json) {
        std::cout << "wrote " << platform::path_text(out) << ": " << curve.row_count << " x " << curve.column_count
                  << " cells, " << filled << " with a strength\n";
    }
    return 0;
}

constexpr OptionSpec kFitOptions[] = {
    {"output", "o", true},  {"kind", {}, true},    {"report", {}, true}, {"recommended-pairs", {}, true},
    {"json", {}, false},    {"strict", {}, false}, {"force", {}, false}};
constexpr OptionSpec kFormulaOptions[] = {
    {"output", "o", true}, {"kind", {}, true},  {"a", {}, true},        {"b", {}, true},     {"c", {}, true},
    {"rm", {}, true},      {"depth", {}, true}, {"strength", {}, true}, {"json", {}, false}, {"force", {}, false}};

int run_curve_fit(AppContext& context, const QStringList& args) {
    Arguments a;
    const std::string usage = std::string("Usage: rebound-cli ") + kFitSynopsis + "\n";
    if (const auto status = parse_arguments("curve fit", usage, args, kFitOptions, 0, -1, a)) return *status;
    if (a.positional().size() != 1) return usage_error("'curve fit' needs one pairs file");
    int status = 0;
    const auto kind = kind_of(a, CurveKind::Special, status);
    if (!kind) return status;
    std::size_t recommended = kRecommendedCurvePairs;
    if (const std::optional<QString> given = a.value("recommended-pairs")) {
        unsigned long long n = 0;
        const std::string text = given->toStdString();
        const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
            return usage_error("--recommended-pairs must be a whole number, not '" + text + "'");
        }
        recommended = static_cast<std::size_t>(n);
    }
    const auto out = output_path(context, a, status);
    if (!out) return status;
    const bool json = a.has("json");
    const bool strict = a.has("strict");
    const std::filesystem::path pairs_path = arg_path(a.positional()[0]);
    std::optional<std::filesystem::path> report;
    if (const std::optional<QString> given = a.value("report")) report = arg_path(*given);

    // Nothing is written over the pairs, and the report is not the curve.
    const std::filesystem::path inputs[] = {pairs_path};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(*out, inputs); !distinct) {
        return fail(distinct.error());
    }
    if (report) {
        const std::filesystem::path report_inputs[] = {pairs_path, *out};
        if (const Result<void> distinct = platform::refuse_output_over_inputs(*report, report_inputs); !distinct) {
            return fail(distinct.error());
        }
        if (platform::save_destination(*report) == platform::save_destination(*out)) {
            return usage_error("--report and -o name the same file");
        }
    }

    const Result<std::vector<CurvePair>> pairs = read_pairs_csv(pairs_path);
    if (!pairs) return fail(pairs.error());
    const CurveFitOutcome outcome = fit_curve(*pairs);
    if (!outcome.fit) return fail(pairs_path, outcome.error + "; nothing was written");
    const CurveFit& fit = *outcome.fit;
    if (const std::string warning = pair_count_warning(fit.n, recommended); !warning.empty()) warn(warning);
    if (!fit.depth_fitted) {
        warn("every pair has the depth " + one_decimal(fit.formula.depth.low) +
             " mm; C is not fitted and the curve holds for that depth only");
    }
    const CurveVerdict verdict = judge_fit(fit, *kind);
    if (!json) {
        print_formula(fit.formula);
        std::cout << "n = " << fit.n << ", r = " << fixed(fit.r, 4) << ", delta = " << fixed(fit.delta_percent, 2)
                  << " %, er = " << fixed(fit.er_percent, 2) << " %\n";
        if (verdict.accepted) std::cout << verdict.text << "\n";
    }
    int result = 0;
    bool written = false;
    if (!verdict.accepted && strict) {
        result = fail(*out, "the curve is " + verdict.text + " (--strict); nothing was written");
    } else {
        if (!verdict.accepted) warn("the curve is " + verdict.text);
        result = write_curve(fit.formula, *out, json);
        written = result == 0;
        if (written && report) {
            result = write_curve_fit_report(context, pairs_path, *pairs, fit, *kind, *out, *report);
        }
    }
    if (json) print_json(fit.formula, &fit, verdict.limits, verdict.accepted, written);
    return result;
}

int run_curve_formula(AppContext& context, const QStringList& args) {
    Arguments a;
    const std::string usage = std::string("Usage: rebound-cli ") + kFormulaSynopsis + "\n";
    if (const auto status = parse_arguments("curve formula", usage, args, kFormulaOptions, 0, -1, a)) return *status;
    if (!a.positional().empty()) return usage_error("'curve formula' takes no file but -o OUT.cur");
    CurveFormula formula;
    for (const auto& [name, target] :
         {std::pair<const char*, double*>{"a", &formula.a}, {"b", &formula.b}, {"c", &formula.c}}) {
        const std::optional<QString> given = a.value(name);
        if (!given) return usage_error(std::string("'curve formula' needs --") + name);
        const std::string text = given->toStdString();
        const auto value = parse_pair_number(text);
        if (!value) return usage_error(std::string("--") + name + " must be a number, not '" + text + "'");
        *target = *value;
    }
    for (const auto& [name, target] : {std::pair<const char*, FigureRange*>{"rm", &formula.rm},
                                       {"depth", &formula.depth},
                                       {"strength", &formula.strength}}) {
        const std::optional<QString> given = a.value(name);
        if (!given) return usage_error(std::string("'curve formula' needs --") + name + " LO,HI");
        const std::string text = given->toStdString();
        const auto range = parse_range(text);
        if (!range) {
            return usage_error(std::string("--") + name + " must be two numbers LO,HI, not '" + text + "'");
        }
        *target = *range;
    }
    int status = 0;
    // A published formula is normally a province's regional curve.
    const auto kind = kind_of(a, CurveKind::Regional, status);
    if (!kind) return status;
    const auto out = output_path(context, a, status);
    if (!out) return status;
    if (const auto defect = formula_defect(formula)) {
        return fail(*out, "the formula cannot make a curve: " + *defect + "; nothing was written");
    }
    const bool json = a.has("json");
    const CurveAcceptance& limits = acceptance_of(*kind);
    if (!json) {
        print_formula(formula);
        std::cout << "a published " << limits.name << " curve, taken as published: no pairs to hold against "
                  << "the limits\n";
    }
    const int result = write_curve(formula, *out, json);
    if (json) print_json(formula, nullptr, limits, true, result == 0);
    return result;
}

}  // namespace

int run_curve(AppContext& context, const QStringList& args) {
    if (args.isEmpty()) return usage_error("'curve' needs fit or formula");
    QStringList rest = args;
    const QString sub = rest.takeFirst();
    if (sub == QLatin1String("fit")) return run_curve_fit(context, rest);
    if (sub == QLatin1String("formula")) return run_curve_formula(context, rest);
    if (sub == QLatin1String("-h") || sub == QLatin1String("--help")) {
        std::cout << "Usage: rebound-cli " << kFitSynopsis << "\n       rebound-cli " << kFormulaSynopsis << "\n";
        return 0;
    }
    return usage_error("'curve' needs fit or formula, not '" + platform::path_text(arg_path(sub)) + "'");
}

#ifndef REBOUND_CLI_REPORT
int write_curve_fit_report(AppContext&, const std::filesystem::path&, const std::vector<CurvePair>&, const CurveFit&,
                           CurveKind, const std::filesystem::path&, const std::filesystem::path& pdf) {
    return fail(pdf, "this build of rebound-cli writes no reports; the curve was written");
}
#endif

}  // namespace rebound::cli
