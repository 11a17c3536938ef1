// evaluate, and the curve part of dump.
#include <iostream>
#include <optional>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "evaluation/evaluation.h"
#include "evaluation/spare_texts.h"
#include "evaluation/strength_texts.h"
#include "evaluation/strength_curve.h"
#include "model/number_text.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/text_codec.h"
#include "settings/app_context.h"
#include "settings/evaluation_curve.h"
#include "settings/setting.h"

namespace rebound::cli {

namespace {

// "component 2 \"KZ-1\"": the position from 1 and the name in UTF-8.
std::string component_label(std::size_t index, const ComponentInfo& c) {
    return "component " + std::to_string(index + 1) + " \"" +
           platform::terminal_text(platform::ansi_to_utf8(c.component_name)) + "\"";
}

// What the operator must know about one component's evaluation, as one
// line: areas below and above the curve (their converted strength is 0.0),
// an estimate the curve cannot support, carbonation that was not measured.
// Empty when there is nothing to say.
std::string evaluation_warning(const ComponentEvaluation& result) {
    std::vector<std::string> parts;
    const std::string below = result.area_numbers(CurveSide::Below);
    const std::string above = result.area_numbers(CurveSide::Above);
    if (!below.empty()) parts.push_back("areas below the range of the curve, without a strength: " + below);
    if (!above.empty()) {
        parts.push_back("areas above the range of the curve, without a strength: " + above);
        parts.push_back("the estimate is not valid with this curve");
    }
    if (result.carbonation_not_measured) {
        parts.push_back("carbonation was not measured in any area, the areas were converted at 0.0 mm");
    }
    std::string line;
    for (const std::string& part : parts) line += (line.empty() ? "" : "; ") + part;
    return line;
}

// One line of figures per evaluated component.
std::string component_summary(std::size_t index, const ComponentInfo& c) {
    const Message reason = estimate_reason(c);
    return component_label(index, c) + ": " + std::to_string(c.areas.size()) +
           (c.areas.size() == 1 ? " area" : " areas") + ", mean " + component_figure_text(c, c.strength_avg) +
           " MPa, SD " + component_figure_text(c, c.strength_delta) + " MPa, minimum " +
           component_figure_text(c, c.strength_min) + " MPa, estimate " + estimate_text(c) + " MPa" +
           (reason.english.empty() || estimate_note(c) != EstimateNote::Blank ? "" : " (" + reason.english + ")") +
           ", carbonation mode " + std::to_string(c.carbonation_mode) + ", curve " +
           platform::ansi_to_utf8(c.curve_filename);
}

// One of two named choices of an option (--pumped correction|curve): the
// value, nothing when the option is absent, or the usage error's status.
template <class T>
struct Choice {
    const char* name;
    T value;
};
template <class T>
std::optional<int> choice_option(const Arguments& a, const char* option, Choice<T> first, Choice<T> second,
                                 std::optional<T>& chosen) {
    const std::optional<QString> value = a.value(option);
    if (!value) return std::nullopt;
    for (const Choice<T>& c : {first, second}) {
        if (*value == QLatin1String(c.name)) {
            chosen = c.value;
            return std::nullopt;
        }
    }
    return usage_error(std::string("evaluate: --") + option + " takes " + first.name + " or " + second.name +
                       ", not \"" + value->toStdString() + "\"");
}

}  // namespace

int dump_curve_file(const std::filesystem::path& file, bool pretty) {
    const Result<Strength_Curve> read = read_curve_file(file);
    if (!read) return fail(read.error());
    const Strength_Curve& curve = *read;
    JsonWriter json(std::cout, pretty);
    json.begin_object();
    json.member("format", "curve");
    json.member("row_count", std::int64_t{curve.row_count});
    json.member("column_count", std::int64_t{curve.column_count});
    json.member("aux_int_1", std::int64_t{curve.aux_int_1});
    json.member("aux_real_1", curve.aux_real_1);
    json.member("aux_int_2", std::int64_t{curve.aux_int_2});
    json.member("aux_real_2", curve.aux_real_2);
    json.key("values");
    json.begin_array();
    for (float v : curve.values) json.number(v);
    json.end_array();
    json.end_object();
    if (!json.flush()) return output_failed();
    // A curve the reader had to make up is printed as read, but it is not a
    // curve: a header cut short or announcing no usable table, or values
    // missing at the end.
    const std::int64_t announced = std::int64_t{curve.row_count} * curve.column_count;
    if (curve.row_count <= 0 || curve.column_count <= 0 || announced > kMaxCurveValues) {
        std::cout << std::endl;
        // The reader keeps nothing of a header beyond the limit: its own
        // numbers are read again for the message.
        std::int64_t rows = curve.row_count;
        std::int64_t columns = curve.column_count;
        if (Result<platform::InputFile> again = platform::InputFile::open(file); again) {
            unsigned char header[8] = {};
            if (again->read(reinterpret_cast<char*>(header), sizeof header) == sizeof header) {
                const auto field = [&](int at) {
                    return static_cast<std::int32_t>(std::uint32_t{header[at]} | std::uint32_t{header[at + 1]} << 8 |
                                                     std::uint32_t{header[at + 2]} << 16 |
                                                     std::uint32_t{header[at + 3]} << 24);
                };
                rows = field(0);
                columns = field(4);
            }
        }
        return fail(file, "the curve header announces " + std::to_string(rows) + " rows x " +
                              std::to_string(columns) + " columns, not a table of 1 to " +
                              std::to_string(kMaxCurveValues) + " values");
    }
    if (curve.padded_values > 0) {
        std::cout << std::endl;
        return fail(file, "the data ends inside the values: " + std::to_string(announced) + " announced, " +
                              std::to_string(announced - curve.padded_values) + " found");
    }
    return 0;
}

int run_evaluate(AppContext& context, const QStringList& args) {
    static constexpr OptionSpec kOptions[] = {{"curve", "c", true},
                                              {"output", "o", true},
                                              {"strict", {}, false},
                                              {"pumped", {}, true},
                                              {"arithmetic", {}, true}};
    Arguments a;
    if (const auto status = parse_arguments("evaluate", command_usage("evaluate"), args, kOptions, 1, 1, a)) {
        return *status;
    }

    std::optional<PumpedRule> pumped_rule;
    std::optional<Arithmetic> arithmetic;
    if (const auto status = choice_option(a, "pumped", {"correction", PumpedRule::Correction},
                                          {"curve", PumpedRule::Curve}, pumped_rule)) {
        return *status;
    }
    if (const auto status = choice_option(a, "arithmetic", {"device", Arithmetic::Device},
                                          {"standard", Arithmetic::Standard}, arithmetic)) {
        return *status;
    }

    const std::filesystem::path project_path = arg_path(a.positional()[0]);
    // Without --curve, the curve the window evaluates with: the one chosen
    // in its curve selection dialog, or the standard curve.
    // The curve's file is kept to check that the result is not saved over it.
    std::optional<EvaluationCurve> chosen;
    std::filesystem::path curve_path;
    if (const auto given = a.value("curve")) {
        curve_path = arg_path(*given);
        chosen.emplace(curve_path);
    } else {
        setting& store = context.get_setting();
        if (const Result<void> read = store.read_existing_ini(); !read) {
            return fail(read.error().file, read.error().message + "; nothing was evaluated");
        }
        chosen.emplace(context);
        // A name outside the curve folder is refused below, as no curve.
        const std::filesystem::path name = platform::path_from_ansi(store.evaluation_curve_file());
        if (is_plain_file_name(name)) curve_path = context.curve_folder() / name;
    }
    const std::filesystem::path out_path = a.has("output") ? arg_path(*a.value("output")) : project_path;
    const bool strict = a.has("strict");

    // The result may replace the project, never the curve it was evaluated with.
    const std::filesystem::path inputs[] = {curve_path};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(out_path, inputs); !distinct) {
        return fail(distinct.error());
    }

    // The file saved is not changed by anyone else from before the project
    // is read until the result is in place.
    Result<platform::FileLock> lock = platform::FileLock::acquire(out_path);
    if (!lock) return fail(out_path, lock.error().message + "; nothing was evaluated");

    // The curve first: an unusable one changes nothing.
    CurveProblem problem;
    const Strength_Curve* usable = chosen->get(&problem);
    if (usable == nullptr && problem.outside_folder) {
        return fail(context.get_setting().ini_path,
                    "names the strength curve \"" + platform::ansi_to_utf8(context.get_setting().curve_file) +
                        "\", which is not a file name in the curve folder; nothing was evaluated");
    }
    if (usable == nullptr) {
        return fail(problem.path,
                    "cannot be used as the strength curve: " + describe(problem.defect) + "; nothing was evaluated");
    }
    const Strength_Curve& curve = *usable;

    // All or nothing: the project is saved only when it was read completely
    // and every component was evaluated.
    ReboundFile project;
    if (const Result<void> loaded = project.load(project_path, context.today_text()); !loaded) {
        return fail(loaded.error().file, loaded.error().message + "; nothing was evaluated");
    }
    // The project's rules, unless the command line says otherwise.
    EvaluationRules rules = read_evaluation_rules(project);
    if (pumped_rule) rules.pumped = *pumped_rule;
    if (arithmetic) rules.arithmetic = *arithmetic;
    EvaluationCurves curves{&curve, chosen->name(), nullptr, {}};
    // Under the rule "curve" the uniform curve gives pumped components to
    // the pumped-concrete curve in the same folder; any other curve is a
    // laboratory's own and serves every component.
    Strength_Curve pumped_curve;
    if (rules.pumped == PumpedRule::Curve && curves.name == kUniformCurveFile) {
        const std::filesystem::path pumped_path =
            (a.has("curve") ? curve_path.parent_path() : context.curve_folder()) / kPumpedCurveFile;
        if (const auto defect = read_curve_for_evaluation(pumped_path, pumped_curve)) {
            return fail(pumped_path, "cannot be used as the pumped-concrete curve: " + describe(*defect) +
                                         "; nothing was evaluated");
        }
        curves.pumped = &pumped_curve;
        curves.pumped_name = kPumpedCurveFile;
    }
    bool outside = false;
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        ComponentInfo& c = project.components[i];
        const ComponentEvaluation result = evaluate_component(c, curves, rules);
        outside = outside || result.any_outside();
        const std::string warning = evaluation_warning(result);
        if (!warning.empty()) {
            std::cerr << "rebound-cli: " << (strict && result.any_outside() ? "error" : "warning") << ": "
                      << component_label(i, c) << ": " << warning << "\n";
        }
    }
    if (strict && outside) {
        return fail(project_path, "areas lie outside the range of the curve (--strict); nothing was saved");
    }
    if (const Result<void> saved = project.save(out_path); !saved) {
        return fail(out_path, "cannot be saved: " + saved.error().message);
    }
    lock->release();
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        std::cout << component_summary(i, project.components[i]) << "\n";
    }
    std::cout.flush();
    if (!std::cout) return output_failed(out_path == project_path ? "the project was saved" : "the result was saved");
    return 0;
}

}  // namespace rebound::cli
