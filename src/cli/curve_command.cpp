// curve: builds a strength curve file of one's own, fitted to paired tests
// (curve fit) or from a published formula (curve formula).
#include <charconv>
#include <cmath>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "evaluation/curve_fit.h"
#include "evaluation/curve_pairs.h"
#include "fileio/exchange.h"
#include "model/number_text.h"
#include "platform/files.h"

namespace rebound::cli {

namespace {

const char* const kFitSynopsis =
    "curve fit PAIRS.csv -o OUT.cur [--kind special|regional] [--report FIT.pdf] [--json] [--strict] "
    "[--recommended-pairs N] [--force]";
const char* const kFormulaSynopsis =
    "curve formula --a A --b B --c C --rm LO,HI --depth LO,HI --strength LO,HI -o OUT.cur "
    "[--kind special|regional] [--json] [--force]";

// The arguments of a subcommand: options by name (without the dashes) and
// the positional arguments. Options take their value from the next argument
// or after "=", so that negative numbers ("--c -0.035") are values.
struct Arguments {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positional;
};

// Fills `parsed`, or returns the usage error.
std::optional<std::string> parse_arguments(const QStringList& args, const std::set<std::string>& with_value,
                                           const std::set<std::string>& flags, Arguments& parsed) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const std::string arg = args[i].toStdString();
        if (arg.size() < 2 || arg[0] != '-' || arg == "--") {
            parsed.positional.push_back(arg);
            continue;
        }
        std::string name = arg.substr(arg[1] == '-' ? 2 : 1);
        std::optional<std::string> value;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "output") name = "o";
        if (name == "help") name = "h";
        if (flags.count(name)) {
            if (value) return "option '" + name + "' takes no value";
            parsed.flags.insert(name);
        } else if (with_value.count(name)) {
            if (!value) {
                if (i + 1 >= args.size()) return "option '" + name + "' needs a value";
                value = args[++i].toStdString();
            }
            parsed.values[name] = *value;
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    return std::nullopt;
}

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
void print_json(const CurveFormula& formula, const CurveFit* fit, const CurveAcceptance& limits, bool accepted) {
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

// The output path: ".cur" appended unless present. Refuses to replace an
// existing normal.cur (the shipped standard curve) without --force.
std::optional<std::filesystem::path> output_path(const Arguments& a, int& status) {
    const auto found = a.values.find("o");
    if (found == a.values.end()) {
        status = usage_error("'curve' needs -o OUT.cur");
        return std::nullopt;
    }
    const std::filesystem::path out = append_required_extension(arg_path(QString::fromStdString(found->second)), ".cur");
    std::error_code ec;
    if (out.filename() == "normal.cur" && std::filesystem::exists(out, ec) && !a.flags.count("force")) {
        status = fail(out, "is the standard curve and is not replaced without --force; nothing was written");
        return std::nullopt;
    }
    return out;
}

std::optional<CurveKind> kind_of(const Arguments& a, CurveKind fallback, int& status) {
    const auto found = a.values.find("kind");
    if (found == a.values.end()) return fallback;
    const auto kind = curve_kind_named(found->second);
    if (!kind) status = usage_error("--kind must be special or regional, not '" + found->second + "'");
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

int run_curve_fit(AppContext& context, const QStringList& args) {
    Arguments a;
    if (auto error = parse_arguments(args, {"o", "kind", "report", "recommended-pairs"},
                                     {"json", "strict", "force", "h"}, a)) {
        return usage_error(*error);
    }
    if (a.flags.count("h")) {
        std::cout << "Usage: rebound-cli " << kFitSynopsis << "\n";
        return 0;
    }
    if (a.positional.size() != 1) return usage_error("'curve fit' needs one pairs file");
    int status = 0;
    const auto kind = kind_of(a, CurveKind::Special, status);
    if (!kind) return status;
    std::size_t recommended = kRecommendedCurvePairs;
    if (const auto found = a.values.find("recommended-pairs"); found != a.values.end()) {
        unsigned long long n = 0;
        const std::string& text = found->second;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
        if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
            return usage_error("--recommended-pairs must be a whole number, not '" + text + "'");
        }
        recommended = static_cast<std::size_t>(n);
    }
    const auto out = output_path(a, status);
    if (!out) return status;
    const bool json = a.flags.count("json") > 0;
    const bool strict = a.flags.count("strict") > 0;

    const std::filesystem::path pairs_path = arg_path(QString::fromStdString(a.positional[0]));
    const Result<std::vector<CurvePair>> pairs = read_pairs_csv(pairs_path);
    if (!pairs) return fail(pairs.error());
    const CurveFitOutcome outcome = fit_curve(*pairs);
    if (!outcome.fit) return fail(pairs_path, outcome.error + "; nothing was written");
    const CurveFit& fit = *outcome.fit;
    if (const std::string warning = pair_count_warning(fit.n, recommended); !warning.empty()) {
        std::cerr << "rebound-cli: warning: " << warning << "\n";
    }
    if (!fit.depth_fitted) {
        std::cerr << "rebound-cli: warning: every pair has the depth " << one_decimal(fit.formula.depth.low)
                  << " mm; C is not fitted and the curve holds for that depth only\n";
    }
    const CurveVerdict verdict = judge_fit(fit, *kind);
    if (json) {
        print_json(fit.formula, &fit, verdict.limits, verdict.accepted);
    } else {
        print_formula(fit.formula);
        std::cout << "n = " << fit.n << ", r = " << fixed(fit.r, 4) << ", delta = " << fixed(fit.delta_percent, 2)
                  << " %, er = " << fixed(fit.er_percent, 2) << " %\n";
        if (verdict.accepted) std::cout << verdict.text << "\n";
    }
    if (!verdict.accepted) {
        if (strict) return fail(*out, "the curve is " + verdict.text + " (--strict); nothing was written");
        std::cerr << "rebound-cli: warning: the curve is " << verdict.text << "\n";
    }
    if (const int written = write_curve(fit.formula, *out, json); written != 0) return written;
    if (const auto report = a.values.find("report"); report != a.values.end()) {
        return write_curve_fit_report(context, *pairs, fit, *kind, *out,
                                      arg_path(QString::fromStdString(report->second)));
    }
    return 0;
}

int run_curve_formula(const QStringList& args) {
    Arguments a;
    if (auto error = parse_arguments(args, {"o", "kind", "a", "b", "c", "rm", "depth", "strength"},
                                     {"json", "force", "h"}, a)) {
        return usage_error(*error);
    }
    if (a.flags.count("h")) {
        std::cout << "Usage: rebound-cli " << kFormulaSynopsis << "\n";
        return 0;
    }
    if (!a.positional.empty()) return usage_error("'curve formula' takes no file but -o OUT.cur");
    CurveFormula formula;
    for (const auto& [name, target] :
         {std::pair<const char*, double*>{"a", &formula.a}, {"b", &formula.b}, {"c", &formula.c}}) {
        const auto found = a.values.find(name);
        if (found == a.values.end()) return usage_error(std::string("'curve formula' needs --") + name);
        const auto value = parse_pair_number(found->second);
        if (!value) return usage_error(std::string("--") + name + " must be a number, not '" + found->second + "'");
        *target = *value;
    }
    for (const auto& [name, target] : {std::pair<const char*, FigureRange*>{"rm", &formula.rm},
                                       {"depth", &formula.depth},
                                       {"strength", &formula.strength}}) {
        const auto found = a.values.find(name);
        if (found == a.values.end()) return usage_error(std::string("'curve formula' needs --") + name + " LO,HI");
        const auto range = parse_range(found->second);
        if (!range) {
            return usage_error(std::string("--") + name + " must be two numbers LO,HI, not '" + found->second + "'");
        }
        *target = *range;
    }
    int status = 0;
    // A published formula is normally a province's regional curve.
    const auto kind = kind_of(a, CurveKind::Regional, status);
    if (!kind) return status;
    const auto out = output_path(a, status);
    if (!out) return status;
    if (const auto defect = formula_defect(formula)) {
        return fail(*out, "the formula cannot make a curve: " + *defect + "; nothing was written");
    }
    const bool json = a.flags.count("json") > 0;
    const CurveAcceptance& limits = acceptance_of(*kind);
    if (json) {
        print_json(formula, nullptr, limits, true);
    } else {
        print_formula(formula);
        std::cout << "a published " << limits.name << " curve, taken as published: no pairs to hold against "
                  << "the limits\n";
    }
    return write_curve(formula, *out, json);
}

}  // namespace

int run_curve(AppContext& context, const QStringList& args) {
    if (args.isEmpty()) return usage_error("'curve' needs fit or formula");
    QStringList rest = args;
    const QString sub = rest.takeFirst();
    if (sub == QLatin1String("fit")) return run_curve_fit(context, rest);
    if (sub == QLatin1String("formula")) return run_curve_formula(rest);
    if (sub == QLatin1String("-h") || sub == QLatin1String("--help")) {
        std::cout << "Usage: rebound-cli " << kFitSynopsis << "\n       rebound-cli " << kFormulaSynopsis << "\n";
        return 0;
    }
    return usage_error("'curve' needs fit or formula, not '" + sub.toStdString() + "'");
}

#ifndef REBOUND_CLI_REPORT
int write_curve_fit_report(AppContext&, const std::vector<CurvePair>&, const CurveFit&, CurveKind,
                           const std::filesystem::path&, const std::filesystem::path& pdf) {
    return fail(pdf, "this build of rebound-cli writes no reports; the curve was written");
}
#endif

}  // namespace rebound::cli
