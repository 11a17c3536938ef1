// batch: the figures of a batch of components, its verdict and the
// correction by cores, from the stored figures of a project. Reads the
// project and the cores file, writes nothing.
#include <QCommandLineParser>
#include <algorithm>
#include <charconv>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "evaluation/strength_texts.h"
#include "evaluation/batch.h"
#include "evaluation/spare_texts.h"
#include "model/number_text.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/text_codec.h"

namespace rebound::cli {

namespace {

// A cores file larger than this is not a table of cores.
constexpr std::size_t kMaxCoresFileBytes = 4u << 20;

// "1,3-5" as positions from 0, ascending and each once; an error phrase when
// the list is malformed or names a component the project lacks.
std::optional<std::string> parse_component_list(const std::string& list, std::size_t count,
                                                std::vector<std::size_t>& out) {
    std::vector<bool> chosen(count, false);
    std::string_view rest = list;
    const auto number = [](std::string_view s, std::size_t& v) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && v > 0;
    };
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        const std::size_t dash = item.find('-');
        std::size_t first = 0;
        std::size_t last = 0;
        const bool ok = dash == std::string_view::npos
                            ? number(item, first) && (last = first, true)
                            : number(item.substr(0, dash), first) && number(item.substr(dash + 1), last);
        if (!ok || last < first) {
            return "'" + std::string(item) + "' in --components is not a component number or range such as 3-5";
        }
        if (last > count) {
            return "--components names component " + std::to_string(last) + ", the project holds " +
                   std::to_string(count);
        }
        for (std::size_t i = first; i <= last; ++i) chosen[i - 1] = true;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    out.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (chosen[i]) out.push_back(i);
    }
    return std::nullopt;
}

Result<std::string> read_small_file(const std::filesystem::path& path) {
    Result<platform::InputFile> opened = platform::InputFile::open(path);
    if (!opened) return opened.error();
    std::string bytes;
    char block[8192];
    while (const std::size_t n = opened->read(block, sizeof block)) {
        bytes.append(block, n);
        if (bytes.size() > kMaxCoresFileBytes) {
            return FileError{FileError::Kind::Malformed, path, std::nullopt, {}, "is too large for a table of cores"};
        }
    }
    if (const std::string failure = opened->failure(); !failure.empty()) {
        return FileError{FileError::Kind::Malformed, path, std::nullopt, {}, failure};
    }
    return bytes;
}

std::string count_text(std::size_t n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string mpa(double v) {
    return one_decimal(v) + " MPa";
}

std::string reasons_text(const std::vector<BatchReason>& reasons) {
    std::string text;
    for (const BatchReason& r : reasons) text += (text.empty() ? "" : "; ") + describe(r);
    return text;
}

std::string verdict_text(const BatchFigures& b) {
    return b.valid ? "valid" : "not valid, inspect component by component: " + reasons_text(b.reasons);
}

std::string figures_text(const BatchFigures& b) {
    std::string text = "mean " + mpa(b.mean);
    if (b.has_sd) {
        char k[32];
        const auto r = std::to_chars(k, k + sizeof k, b.k);
        text += ", SD " + mpa(b.sd) + ", k " + std::string(k, r.ptr) + ", estimate " + mpa(b.estimate);
    }
    return text + ", " + verdict_text(b);
}

std::string correction_value_text(const Correction& c) {
    if (c.method == CorrectionMethod::Amount) return "delta " + mpa(c.value);
    char eta[32];
    const auto r = std::to_chars(eta, eta + sizeof eta, c.value, std::chars_format::fixed,
                                 batch_rules::kCoefficientDecimals);
    return "eta " + std::string(eta, r.ptr);
}

void write_figures(JsonWriter& json, const BatchFigures& b, bool with_k) {
    json.key("mean");
    json.fixed(b.mean, 1);
    json.key("sd");
    if (b.has_sd) json.fixed(b.sd, 1); else json.null();
    if (with_k) {
        json.key("k");
        json.number(static_cast<float>(b.k));
    }
    json.key("estimate");
    if (b.has_sd) json.fixed(b.estimate, 1); else json.null();
    json.key("valid");
    json.boolean(b.valid);
    json.key("reasons");
    json.begin_array();
    for (const BatchReason& r : b.reasons) json.string(describe(r));
    json.end_array();
}

}  // namespace

int run_batch(AppContext& context, const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("batch"));
    parser.addHelpOption();
    const QCommandLineOption components_option(QStringList{QStringLiteral("components")},
                                               QStringLiteral("Components of the batch, by number: 1,3-5."),
                                               QStringLiteral("LIST"));
    const QCommandLineOption k_option(QStringList{QStringLiteral("k")},
                                      QStringLiteral("Factor of the estimate (default 1.645)."), QStringLiteral("K"));
    const QCommandLineOption lot_option(QStringList{QStringLiteral("lot-size")},
                                        QStringLiteral("Components the batch holds on site."), QStringLiteral("N"));
    const QCommandLineOption cores_option(QStringList{QStringLiteral("cores")},
                                          QStringLiteral("Cores file: component,area,strength."),
                                          QStringLiteral("FILE.csv"));
    const QCommandLineOption method_option(QStringList{QStringLiteral("method")},
                                           QStringLiteral("Correction method: amount or coefficient."),
                                           QStringLiteral("METHOD"));
    const QCommandLineOption strict_option(QStringList{QStringLiteral("strict")},
                                           QStringLiteral("A verdict of not valid is an error."));
    const QCommandLineOption json_option(QStringList{QStringLiteral("json")}, QStringLiteral("Print JSON."));
    for (const auto* o : {&components_option, &k_option, &lot_option, &cores_option, &method_option, &strict_option,
                          &json_option}) {
        parser.addOption(*o);
    }
    QStringList full = args;
    full.prepend(QStringLiteral("rebound-cli"));
    if (!parser.parse(full)) return usage_error(parser.errorText().toStdString());
    if (parser.isSet(QStringLiteral("help"))) {
        for (const Command& c : commands()) {
            if (std::string_view(c.name) == "batch") {
                std::cout << "Usage: rebound-cli " << c.synopsis << "\n" << c.description << "\n";
            }
        }
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) return usage_error("wrong number of arguments for 'batch'");
    const bool strict = parser.isSet(strict_option);
    const bool as_json = parser.isSet(json_option);

    // Options that do not need the project are checked first.
    std::optional<double> k;
    if (parser.isSet(k_option)) {
        const std::string text = parser.value(k_option).toStdString();
        double v = 0.0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
        if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || !(v > batch_rules::kMinK) ||
            v > batch_rules::kMaxK) {
            return usage_error("--k must be a number above 0 and at most 10, such as 1.645");
        }
        k = v;
    }
    std::optional<std::uint32_t> lot;
    if (parser.isSet(lot_option)) {
        const std::string text = parser.value(lot_option).toStdString();
        std::uint32_t v = 0;
        const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
        if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v == 0 ||
            v > batch_rules::kMaxLotSize) {
            return usage_error("--lot-size must be a whole number of components from 1");
        }
        lot = v;
    }
    std::optional<CorrectionMethod> method;
    if (parser.isSet(method_option)) {
        method = method_from_name(parser.value(method_option).toStdString());
        if (!method) return usage_error("--method must be amount or coefficient");
    }

    const std::filesystem::path project_path = arg_path(positional[0]);
    ReboundFile project;
    if (const Result<void> loaded = project.load(project_path, context.today_text()); !loaded) {
        return fail(loaded.error());
    }
    ProjectBatchData stored = read_batch_data(project);
    for (const UnparsableSpareText& text : stored.unparsable) {
        std::cerr << "rebound-cli: warning: " << describe(text) << "\n";
    }
    BatchSettings settings = stored.settings;
    if (k) settings.k = *k;
    if (lot) settings.lot_size = *lot;
    if (method) settings.method = *method;

    std::vector<std::size_t> components;
    if (parser.isSet(components_option)) {
        if (const auto error =
                parse_component_list(parser.value(components_option).toStdString(), project.components.size(),
                                     components)) {
            return fail(project_path, *error);
        }
    } else {
        components = ticked_components(project);
    }
    if (components.empty()) return fail(project_path, "the batch holds no component (none is ticked)");

    // The cores: from the file when one is named, else those the project
    // keeps for the components of the batch.
    std::vector<CoreSample> cores;
    const bool cores_from_file = parser.isSet(cores_option);
    if (cores_from_file) {
        const std::filesystem::path cores_path = arg_path(parser.value(cores_option));
        const Result<std::string> bytes = read_small_file(cores_path);
        if (!bytes) return fail(bytes.error());
        const CoreTable table = parse_core_table(*bytes);
        if (table.error_line != 0) {
            return fail(cores_path, "line " + std::to_string(table.error_line) + ": " + table.error);
        }
        if (table.cores.empty()) return fail(cores_path, "holds no cores");
        cores = table.cores;
    } else {
        for (const CoreSample& core : stored.cores) {
            if (std::binary_search(components.begin(), components.end(), core.component)) cores.push_back(core);
        }
    }

    const BatchEvaluation e = evaluate_batch(project, components, settings, cores);
    if (e.correction_error) {
        const std::string message = "no correction by cores: " + describe(*e.correction_error);
        if (cores_from_file) return fail(arg_path(parser.value(cores_option)), message);
        std::cerr << "rebound-cli: warning: " << message << "\n";
    }
    for (const SamplingWarning& w : e.sampling) std::cerr << "rebound-cli: warning: " << describe(w) << "\n";

    if (as_json) {
        JsonWriter json(std::cout, platform::standard_output_is_terminal());
        json.begin_object();
        json.key("components");
        json.begin_array();
        for (const ComponentBatchLine& line : e.components) {
            json.begin_object();
            json.member("index", static_cast<std::int64_t>(line.index + 1));
            json.member("name", platform::ansi_to_utf8(project.components[line.index].component_name));
            json.member("areas", static_cast<std::int64_t>(line.areas));
            // A component whose estimate is no figure (areas outside the
            // curve) gives null and says why.
            const EstimateNote note = estimate_note(project.components[line.index]);
            for (const auto& [name, value] : {std::pair{"mean", line.mean}, std::pair{"sd", line.sd},
                                              std::pair{"min", line.min}, std::pair{"estimate", line.estimate}}) {
                json.key(name);
                if (note != EstimateNote::None && std::string_view(name) == "estimate") {
                    json.null();
                } else {
                    json.fixed(round_tenth(value), 1);
                }
            }
            if (note != EstimateNote::None) json.member("estimate_note", estimate_note_name(note));
            json.end_object();
        }
        json.end_array();
        json.key("batch");
        json.begin_object();
        json.member("components", static_cast<std::int64_t>(e.batch.components));
        json.member("areas", static_cast<std::int64_t>(e.batch.areas));
        write_figures(json, e.batch, true);
        json.end_object();
        json.key("correction");
        if (e.correction && e.corrected) {
            json.begin_object();
            json.member("method", method_name(e.correction->method));
            json.member("pairs", static_cast<std::int64_t>(e.correction->pairs));
            if (e.correction->method == CorrectionMethod::Amount) {
                json.key("delta");
                json.fixed(e.correction->value, 1);
            } else {
                json.key("eta");
                json.fixed(e.correction->value, batch_rules::kCoefficientDecimals);
            }
            write_figures(json, *e.corrected, false);
            json.end_object();
        } else {
            json.null();
        }
        json.end_object();
        if (!json.flush()) {
            std::cerr << "rebound-cli: standard output could not be written\n";
            return 1;
        }
    } else {
        for (const ComponentBatchLine& line : e.components) {
            std::cout << "component " << line.index + 1 << " \""
                      << platform::ansi_to_utf8(project.components[line.index].component_name) << "\": "
                      << count_text(line.areas, "area") << ", mean " << mpa(line.mean)
                      << ", SD " << mpa(line.sd) << ", minimum " << mpa(line.min) << ", estimate "
                      << mpa(line.estimate);
            if (line.corrected) {
                std::cout << "; corrected: mean " << mpa(line.corrected->mean) << ", minimum "
                          << mpa(line.corrected->min) << ", estimate " << mpa(line.corrected->estimate);
            }
            std::cout << "\n";
        }
        std::cout << "batch: " << count_text(e.batch.components, "component") << ", "
                  << count_text(e.batch.areas, "area") << ", "
                  << figures_text(e.batch) << "\n";
        if (e.correction && e.corrected) {
            std::cout << "corrected by cores (" << method_name(e.correction->method) << ", " << e.correction->pairs
                      << " pairs, " << correction_value_text(*e.correction) << "): " << figures_text(*e.corrected)
                      << "\n";
        }
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "rebound-cli: standard output could not be written\n";
            return 1;
        }
    }
    const bool not_valid = !e.batch.valid || (e.corrected && !e.corrected->valid);
    if (strict && not_valid) {
        return fail(project_path, "the batch estimate is not valid (--strict): inspect component by component");
    }
    return 0;
}

}  // namespace rebound::cli
