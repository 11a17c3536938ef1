// dump, import and export-component.
#include <QCommandLineParser>
#include <cctype>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "fileio/exchange.h"
#include "model/rebound_file.h"
#include "platform/text_codec.h"

namespace rebound::cli {

namespace {

// Parses the options of one command; positional arguments are returned.
// `expected_min`/`expected_max` bound their number (-1: no upper bound).
bool parse(QCommandLineParser& parser, const char* command, const QStringList& args, int expected_min,
           int expected_max, QStringList& positional, int& status) {
    parser.setApplicationDescription(command);
    parser.addHelpOption();
    QStringList full = args;
    full.prepend(QStringLiteral("rebound-cli"));
    if (!parser.parse(full)) {
        status = usage_error(parser.errorText().toStdString());
        return false;
    }
    if (parser.isSet("help")) {
        for (const Command& c : commands()) {
            if (std::string_view(c.name) == command) {
                std::cout << "Usage: rebound-cli " << c.synopsis << "\n" << c.description << "\n";
            }
        }
        status = 0;
        return false;
    }
    positional = parser.positionalArguments();
    if (positional.size() < expected_min || (expected_max >= 0 && positional.size() > expected_max)) {
        status = usage_error(std::string("wrong number of arguments for '") + command + "'");
        return false;
    }
    return true;
}

void write_text(JsonWriter& json, std::string_view key, const std::string& ansi) {
    json.member(key, platform::ansi_to_utf8(ansi));
}

void write_area(JsonWriter& json, const AreaData& a) {
    json.begin_object();
    json.key("readings");
    json.begin_array();
    for (std::uint8_t r : a.readings) json.integer(r);
    json.end_array();
    json.member("angle_index", std::int64_t{a.angle_index});
    json.member("surface_index", std::int64_t{a.surface_index});
    json.member("carbonation_index", std::int64_t{a.carbonation_index});
    json.member("reserved1", std::int64_t{a.reserved1});
    json.member("mean_rebound", a.mean_rebound);
    json.member("angle_correction", a.angle_correction);
    json.member("surface_correction", a.surface_correction);
    json.member("converted_strength", a.converted_strength);
    json.member("pump_correction", a.pump_correction);
    json.member("reserved2", std::int64_t{a.reserved2});
    json.member("reserved3", std::int64_t{a.reserved3});
    json.member("area_strength", a.area_strength);
    json.member("reserved4", a.reserved4);
    json.end_object();
}

// The members of a component, inside an object the caller opened.
void write_component_members(JsonWriter& json, const ComponentInfo& c) {
    write_text(json, "component_name", c.component_name);
    write_text(json, "device_text1", c.device_text1);
    write_text(json, "device_text2", c.device_text2);
    write_text(json, "device_serial", c.device_serial);
    write_text(json, "device_text4", c.device_text4);
    write_text(json, "examine_date", c.examine_date);
    write_text(json, "extra_date", c.extra_date);
    write_text(json, "curve_filename", c.curve_filename);
    write_text(json, "reserved_text", c.reserved_text);
    write_text(json, "component_condition", c.component_condition);
    json.member("pump_tag", std::int64_t{c.pump_tag});
    json.member("list_checked", std::int64_t{c.list_checked});
    json.member("carbonation_mode", std::int64_t{c.carbonation_mode});
    json.member("rep_carbonation_index", std::int64_t{c.rep_carbonation_index});
    json.member("strength_degree", std::int64_t{c.strength_degree});
    json.member("strength_avg", c.strength_avg);
    json.member("strength_min", c.strength_min);
    json.member("strength_delta", c.strength_delta);
    json.member("strength_estimate", c.strength_estimate);
    json.key("areas");
    json.begin_array();
    for (const AreaData& a : c.areas) write_area(json, a);
    json.end_array();
}

void dump_project(const ReboundFile& p) {
    JsonWriter json(std::cout);
    json.begin_object();
    json.member("format", "project");
    write_text(json, "project_name", p.project_name);
    write_text(json, "project_address", p.project_address);
    write_text(json, "construction_date", p.construction_date);
    write_text(json, "constructor_unit", p.constructor_unit);
    write_text(json, "design_unit", p.design_unit);
    write_text(json, "supervision_unit", p.supervision_unit);
    write_text(json, "reserved_text1", p.reserved_text1);
    write_text(json, "concrete_producer", p.concrete_producer);
    write_text(json, "agent_unit", p.agent_unit);
    write_text(json, "agent_date", p.agent_date);
    write_text(json, "report_serial", p.report_serial);
    write_text(json, "examine_serial", p.examine_serial);
    write_text(json, "reserved_text2", p.reserved_text2);
    write_text(json, "examine_basis", p.examine_basis);
    write_text(json, "examine_condition", p.examine_condition);
    json.key("components");
    json.begin_array();
    for (const ComponentInfo& c : p.components) {
        json.begin_object();
        write_component_members(json, c);
        json.end_object();
    }
    json.end_array();
    json.end_object();
}

void dump_component(const ComponentInfo& c, const char* format) {
    JsonWriter json(std::cout);
    json.begin_object();
    json.member("format", format);
    write_component_members(json, c);
    json.end_object();
}

}  // namespace

int run_dump(const QStringList& args) {
    QCommandLineParser parser;
    QStringList pos;
    int status = 0;
    if (!parse(parser, "dump", args, 1, 1, pos, status)) return status;
    const std::filesystem::path file = arg_path(pos[0]);
    std::string ext(file_extension(file.string()));
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".prj") {
        ReboundFile project;
        std::string error;
        if (!project.load(file, &error)) return fail(file, error);
        dump_project(project);
        return 0;
    }
    if (ext == ".cur") return dump_curve_file(file);
    const ComponentFileKind kind = component_file_kind(file.string());
    if (kind == ComponentFileKind::Unsupported) {
        return fail(file, "unknown file type (expected .prj, .xcmp, .cmp, .tmp or .cur)");
    }
    ComponentInfo component;
    std::string error;
    if (import_component_file(file, component, &error) != ImportStatus::Imported) return fail(file, error);
    dump_component(component, kind == ComponentFileKind::Device ? "device" : "component");
    return 0;
}

int run_import(const QStringList& args) {
    QCommandLineParser parser;
    QStringList pos;
    int status = 0;
    if (!parse(parser, "import", args, 2, -1, pos, status)) return status;
    const std::filesystem::path project_path = arg_path(pos[0]);

    ReboundFile project;
    std::error_code ec;
    if (std::filesystem::exists(project_path, ec)) {
        std::string error;
        if (!project.load(project_path, &error)) return fail(project_path, error);
    }
    for (qsizetype i = 1; i < pos.size(); ++i) {
        const std::filesystem::path file = arg_path(pos[i]);
        ComponentInfo component;
        std::string error;
        if (import_component_file(file, component, &error) != ImportStatus::Imported) {
            return fail(file, error + "; nothing was saved");
        }
        project.add_component(std::move(component));
    }
    std::string error;
    if (!project.save(project_path, &error)) return fail(project_path, "cannot be saved: " + error);
    return 0;
}

int run_export_component(const QStringList& args) {
    QCommandLineParser parser;
    QStringList pos;
    int status = 0;
    if (!parse(parser, "export-component", args, 3, 3, pos, status)) return status;
    const std::filesystem::path project_path = arg_path(pos[0]);
    bool ok = false;
    const qulonglong index = pos[1].toULongLong(&ok);
    if (!ok) return usage_error("INDEX must be a whole number from 0");

    ReboundFile project;
    std::string error;
    if (!project.load(project_path, &error)) return fail(project_path, error);
    const ComponentInfo* component = project.component(index);
    if (component == nullptr) {
        return fail(project_path, "has no component " + std::to_string(index) + " (it holds " +
                                      std::to_string(project.component_count()) + ")");
    }
    const std::filesystem::path out = with_required_extension(arg_path(pos[2]).string(), ".xcmp");
    if (export_component_file(out, *component, &error) != ExportStatus::Written) {
        return fail(out, "cannot be written: " + error);
    }
    return 0;
}

}  // namespace rebound::cli
