// evaluate, and the curve part of dump.
#include <QCommandLineParser>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "evaluation/evaluation.h"
#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"
#include "platform/files.h"

namespace rebound::cli {

namespace {

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
    if (!json.flush()) {
        std::cerr << "rebound-cli: standard output could not be written\n";
        return 1;
    }
    return 0;
}

int run_evaluate(AppContext& context, const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription("evaluate");
    parser.addHelpOption();
    const QCommandLineOption curve_option(QStringList{"c", "curve"}, "Strength curve file.", "FILE");
    const QCommandLineOption output_option(QStringList{"o", "output"}, "Save the result here.", "OUT");
    parser.addOption(curve_option);
    parser.addOption(output_option);
    QStringList full = args;
    full.prepend(QStringLiteral("rebound-cli"));
    if (!parser.parse(full)) return usage_error(parser.errorText().toStdString());
    if (parser.isSet("help")) {
        for (const Command& c : commands()) {
            if (std::string_view(c.name) == "evaluate") {
                std::cout << "Usage: rebound-cli " << c.synopsis << "\n" << c.description << "\n";
            }
        }
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) return usage_error("wrong number of arguments for 'evaluate'");

    const std::filesystem::path project_path = arg_path(positional[0]);
    const std::filesystem::path curve_path = parser.isSet(curve_option)
                                                 ? arg_path(parser.value(curve_option))
                                                 : context.curve_folder() / "normal.cur";
    const std::filesystem::path out_path =
        parser.isSet(output_option) ? arg_path(parser.value(output_option)) : project_path;

    const Result<Strength_Curve> read = read_curve_file(curve_path);
    if (!read) return fail(curve_path, read.error().message + "; nothing was evaluated");
    const Strength_Curve& curve = *read;
    if (curve.row_count < 201 || curve.column_count < 13) {
        std::cerr << "rebound-cli: " << platform::path_text(curve_path) << ": warning: the curve has "
                  << curve.row_count << " rows and " << curve.column_count
                  << " columns instead of 201 and 13; strengths beyond it are 0.0\n";
    }

    ReboundFile project;
    if (const Result<void> loaded = project.load(project_path, context.today_text()); !loaded) {
        return fail(loaded.error());
    }
    for (ComponentInfo& c : project.components) evaluate_component(c, curve);
    if (const Result<void> saved = project.save(out_path); !saved) {
        return fail(out_path, "cannot be saved: " + saved.error().message);
    }
    return 0;
}

}  // namespace rebound::cli
