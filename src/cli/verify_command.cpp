// verify: which areas of a project hold readings typed by hand, and which
// conditions were entered at the desk, for a laboratory's quality check.
#include <QCommandLineParser>
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "settings/app_context.h"

namespace rebound::cli {

namespace {

// The area numbers (from 1) of a component whose areas carry `flag`.
std::vector<std::int64_t> areas_with(const ComponentInfo& c, std::uint8_t flag) {
    std::vector<std::int64_t> numbers;
    for (std::size_t i = 0; i < c.areas.size(); ++i) {
        if (c.areas[i].has_flag(flag)) numbers.push_back(static_cast<std::int64_t>(i + 1));
    }
    return numbers;
}

std::string list_text(const std::vector<std::int64_t>& numbers) {
    std::string text;
    for (std::int64_t n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

void json_numbers(JsonWriter& json, const char* name, const std::vector<std::int64_t>& numbers) {
    json.key(name);
    json.begin_array();
    for (std::int64_t n : numbers) json.integer(n);
    json.end_array();
}

}  // namespace

int run_verify(AppContext& context, const QStringList& args) {
    QCommandLineParser parser;
    const QCommandLineOption json_option(QStringList{QStringLiteral("json")}, QStringLiteral("Print JSON."));
    parser.addOption(json_option);
    QStringList positional;
    int status = 0;
    if (!parse_command(parser, "verify", args, 1, 1, positional, status)) return status;
    const bool as_json = parser.isSet(json_option);

    const std::filesystem::path project_path = arg_path(positional[0]);
    ReboundFile project;
    if (const Result<void> loaded = project.load(project_path, context.today_text()); !loaded) {
        return fail(loaded.error());
    }

    std::int64_t typed = 0;
    if (as_json) {
        JsonWriter json(std::cout, platform::standard_output_is_terminal());
        json.begin_object();
        json.key("components");
        json.begin_array();
        for (std::size_t i = 0; i < project.components.size(); ++i) {
            const ComponentInfo& c = project.components[i];
            const auto readings = areas_with(c, area_flags::kTypedReadings);
            typed += static_cast<std::int64_t>(readings.size());
            json.begin_object();
            json.member("index", static_cast<std::int64_t>(i + 1));
            json.member("name", platform::ansi_to_utf8(c.component_name));
            json_numbers(json, "typed_readings", readings);
            json_numbers(json, "desk_conditions", areas_with(c, area_flags::kDeskConditions));
            json.end_object();
        }
        json.end_array();
        json.member("typed", typed);
        json.end_object();
        if (!json.flush()) return output_failed();
        std::cout << std::endl;
    } else {
        for (std::size_t i = 0; i < project.components.size(); ++i) {
            const ComponentInfo& c = project.components[i];
            const auto readings = areas_with(c, area_flags::kTypedReadings);
            const auto desk = areas_with(c, area_flags::kDeskConditions);
            typed += static_cast<std::int64_t>(readings.size());
            if (readings.empty() && desk.empty()) continue;
            std::cout << "component " << i + 1 << " \"" << platform::ansi_to_utf8(c.component_name) << "\":";
            if (!readings.empty()) std::cout << " readings typed by hand in areas " << list_text(readings) << ";";
            if (!desk.empty()) std::cout << " conditions entered at the desk in areas " << list_text(desk) << ";";
            std::cout << "\n";
        }
        std::cout << (typed == 0 ? std::string("every reading is as the hammer recorded it")
                                 : std::to_string(typed) + (typed == 1 ? " area holds" : " areas hold") +
                                       " readings typed by hand")
                  << "\n";
        std::cout.flush();
        if (!std::cout) return output_failed();
    }
    return typed == 0 ? 0 : 1;
}

}  // namespace rebound::cli
