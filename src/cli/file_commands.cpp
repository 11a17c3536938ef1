// dump, import and export-component. They read a project one component at a
// time (ProjectFileReader), so that a project of any size is dumped or
// extended with little memory.
#include <QFileInfo>
#include <cctype>
#include <iostream>
#include <optional>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "fileio/byte_io.h"
#include "fileio/exchange.h"
#include "fileio/project_file.h"
#include "model/rebound_file.h"
#include "model/record_layout.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "platform/text_codec.h"

namespace rebound::cli {

namespace {

// ---- JSON of the records, from the field tables --------------------------

void write_value(JsonWriter& json, std::uint8_t v) {
    json.integer(v);
}
void write_value(JsonWriter& json, float v) {
    json.number(v);
}
void write_value(JsonWriter& json, const records::Readings& readings) {
    json.begin_array();
    for (const std::uint8_t r : readings) json.integer(r);
    json.end_array();
}

// The texts of a table as members, converted to UTF-8.
template <class Table, class Record>
void write_texts(JsonWriter& json, const Table& table, const Record& record) {
    records::for_each(table,
                      [&](const auto& f) { json.member(f.name, platform::ansi_to_utf8(record.*f.member)); });
}

template <class Table, class Record>
void write_values(JsonWriter& json, const Table& table, const Record& record) {
    records::for_each(table, [&](const auto& f) {
        json.key(f.name);
        write_value(json, record.*f.member);
    });
}

// The members of a component, inside an object the caller opened.
void write_component_members(JsonWriter& json, const ComponentInfo& c) {
    write_texts(json, records::kComponentTexts, c);
    write_values(json, records::kComponentValues, c);
    json.key("areas");
    json.begin_array();
    for (const AreaData& a : c.areas) {
        json.begin_object();
        write_values(json, records::kAreaValues, a);
        json.end_object();
    }
    json.end_array();
}

int dump_project(const std::filesystem::path& file, bool pretty) {
    // Read once, as it is printed, so that a pipe or FIFO can be dumped too.
    // A project that breaks off or holds bytes after its last component
    // prints what was read before the break, then the error.
    Result<ProjectFileReader> reader = ProjectFileReader::open(file);
    if (!reader) return fail(reader.error());
    JsonWriter json(std::cout, pretty);
    json.begin_object();
    json.member("format", "project");
    write_texts(json, records::kProjectTexts, reader->header());
    json.key("components");
    json.begin_array();
    ComponentInfo c;
    for (;;) {
        const Result<bool> more = reader->next(c);
        if (!more) {
            json.flush();
            std::cout << std::endl;
            return fail(more.error());
        }
        if (!*more) break;
        json.begin_object();
        write_component_members(json, c);
        json.end_object();
    }
    json.end_array();
    json.end_object();
    return json.flush() ? 0 : output_failed();
}

int dump_component(const ComponentInfo& c, const char* format, bool pretty) {
    JsonWriter json(std::cout, pretty);
    json.begin_object();
    json.member("format", format);
    write_component_members(json, c);
    json.end_object();
    return json.flush() ? 0 : output_failed();
}

}  // namespace

int run_dump(AppContext& context, const QStringList& args) {
    static constexpr OptionSpec kOptions[] = {{"compact", {}, false}, {"pretty", {}, false}};
    Arguments a;
    if (const auto status = parse_arguments("dump", command_usage("dump"), args, kOptions, 1, 1, a)) return *status;
    if (a.has("compact") && a.has("pretty")) {
        return usage_error("'dump' takes only one of --compact and --pretty");
    }
    const bool pretty = a.has("pretty") || (!a.has("compact") && platform::standard_output_is_terminal());
    const QStringList& pos = a.positional();
    const std::filesystem::path file = arg_path(pos[0]);
    std::string ext = file_extension_of(file);
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == ".prj") return dump_project(file, pretty);
    if (ext == ".cur") return dump_curve_file(file, pretty);
    const ComponentFileKind kind = component_file_kind_of(file);
    if (kind == ComponentFileKind::Unsupported) {
        return fail(file, "unknown file type (expected .prj, .xcmp, .cmp, .tmp or .cur)");
    }
    const Result<ComponentInfo> component = import_component_file(file, context.clock());
    if (!component) return fail(component.error());
    return dump_component(*component, kind == ComponentFileKind::Device ? "device" : "component", pretty);
}

int run_import(AppContext& context, const QStringList& args) {
    Arguments a;
    if (const auto status = parse_arguments("import", command_usage("import"), args, {}, 2, -1, a)) return *status;
    const QStringList& pos = a.positional();
    const std::filesystem::path project_path = arg_path(pos[0]);

    // Nobody else changes the project from before it is read until the new
    // one is in place; otherwise two imports at once would each save the
    // project without the other's component.
    Result<platform::FileLock> lock = platform::FileLock::acquire(project_path);
    if (!lock) return fail(project_path, lock.error().message + "; nothing was saved");

    // The project is never one of the files imported into it.
    std::vector<std::filesystem::path> inputs;
    for (qsizetype i = 1; i < pos.size(); ++i) inputs.push_back(arg_path(pos[i]));
    if (const Result<void> distinct = platform::refuse_output_over_inputs(project_path, inputs); !distinct) {
        return fail(distinct.error());
    }

    // Every component file is read before the project is touched.
    std::vector<ComponentInfo> imported;
    for (qsizetype i = 1; i < pos.size(); ++i) {
        Result<ComponentInfo> component = import_component_file(arg_path(pos[i]), context.clock());
        if (!component) {
            FileError error = component.error();
            error.message += "; nothing was saved";
            return fail(error);
        }
        imported.push_back(std::move(*component));
    }

    // The project's components are copied record by record into the new
    // file, followed by the imported ones; a project that breaks off on the
    // way abandons the save and leaves the file as it was.
    std::optional<ProjectFileReader> reader;
    // A missing project starts new, named after its file as the operator
    // named it ("site-a.prj" is the project "site-a").
    ReboundFile header(context.today_text());
    header.project_name = platform::from_qstring(QFileInfo(pos[0]).completeBaseName());
    std::uint64_t count = 0;
    std::error_code ec;
    if (std::filesystem::exists(project_path, ec)) {
        Result<ProjectFileReader> opened = ProjectFileReader::open(project_path);
        if (!opened) return fail(opened.error());
        reader.emplace(std::move(*opened));
        header = reader->header();
        count = reader->component_count();
    }
    count += imported.size();
    if (count > UINT32_MAX) {
        return fail(project_path, "cannot hold more than 4294967295 components; nothing was saved");
    }
    const Result<void> saved = platform::write_file_atomically(project_path, [&](platform::ByteSink& sink) {
        ByteWriter out(sink);
        records::for_each(records::kProjectTexts,
                          [&](const auto& f) { out.text(header.*f.member, f.label); });
        out.u32(static_cast<std::uint32_t>(count));
        if (reader) {
            ComponentInfo c;
            for (;;) {
                const Result<bool> more = reader->next(c);
                if (!more) throw FormatError(more.error());
                if (!*more) break;
                c.write_record(out);
            }
            // Closed before the new file takes the old one's place.
            reader.reset();
        }
        for (const ComponentInfo& c : imported) c.write_record(out);
        out.flush();
        return true;
    });
    if (!saved) {
        const FileError& error = saved.error();
        if (error.kind == FileError::Kind::Malformed) return fail(error.file, error.message + "; nothing was saved");
        return fail(project_path, "cannot be saved: " + error.message);
    }
    return 0;
}

int run_export_component(AppContext&, const QStringList& args) {
    Arguments a;
    if (const auto status =
            parse_arguments("export-component", command_usage("export-component"), args, {}, 3, 3, a)) {
        return *status;
    }
    const QStringList& pos = a.positional();
    const std::filesystem::path project_path = arg_path(pos[0]);
    bool ok = false;
    const qulonglong index = pos[1].toULongLong(&ok);
    if (!ok || pos[1].startsWith(QLatin1Char('+'))) {
        return usage_error("INDEX must be a whole number from 0, not '" + pos[1].toStdString() + "'");
    }
    int status = 0;
    const std::optional<std::filesystem::path> out = output_file_argument(pos[2], ".xcmp", status);
    if (!out) return status;
    const std::filesystem::path inputs[] = {project_path};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(*out, inputs); !distinct) {
        return fail(distinct.error());
    }

    Result<ProjectFileReader> reader = ProjectFileReader::open(project_path);
    if (!reader) return fail(reader.error());
    if (index >= reader->component_count()) {
        return fail(project_path, "has no component " + std::to_string(index) + " (it holds " +
                                      std::to_string(reader->component_count()) + ")");
    }
    ComponentInfo component;
    for (qulonglong i = 0; i <= index; ++i) {
        const Result<bool> more = reader->next(component);
        if (!more) return fail(more.error());
    }
    const Result<void> written = export_component_file(*out, component);
    if (!written) return fail(*out, "cannot be written: " + written.error().message);
    return 0;
}

}  // namespace rebound::cli
