// rebound-cli: batch work on project, component, device and curve files
// without windows.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "platform/files.h"
#include "settings/version.h"

namespace rebound::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"dump", "dump FILE [--compact | --pretty]",
         "Print a project (.prj), exported component (.xcmp), device (.cmp, .tmp) or curve (.cur) file as "
         "JSON (compact unless standard output is a terminal).",
         run_dump},
        {"import", "import PROJECT FILE...",
         "Append one component per device or exported component FILE to PROJECT (created when missing) and "
         "save it.",
         run_import},
        {"export-component", "export-component PROJECT INDEX OUT",
         "Write component INDEX (0-based) of PROJECT as an exported component file (.xcmp appended).",
         run_export_component},
        {"evaluate", "evaluate PROJECT [--curve FILE] [-o OUT] [--strict]",
         "Evaluate every component of PROJECT with the curve FILE (default curve/normal.cur), save to OUT "
         "(default PROJECT) and print one line of figures per component; with --strict an area outside the "
         "curve is an error and nothing is saved.",
         run_evaluate},
#ifdef REBOUND_CLI_REPORT
        {"report", "report PROJECT [--template FILE] (--pdf OUT | --text OUT | --xls OUT)",
         "Write the test report of PROJECT as a PDF, text or Excel file (default template "
         "report/rebound_report1.grf; report/rebound_record1.grf gives the test record sheet).",
         run_report},
#endif
    };
    return table;
}

namespace {

void print_help() {
    std::cout << "Usage: rebound-cli COMMAND [ARGUMENTS]\n\n"
                 "Works on the files of the rebound hammer application without windows.\n"
                 "Texts are shown in UTF-8; errors are one line on standard error\n"
                 "(exit status 1), usage errors exit with status 2.\n\nCommands:\n";
    for (const Command& c : commands()) {
        std::cout << "  " << c.synopsis << "\n      " << c.description << "\n";
    }
    std::cout << "\nOptions:\n  -h, --help     Show this help.\n  -v, --version  Show the version.\n";
}

}  // namespace

int usage_error(const std::string& message) {
    std::cerr << "rebound-cli: " << message << "\nTry 'rebound-cli --help'.\n";
    return 2;
}

int fail(const std::filesystem::path& file, const std::string& message) {
    std::cerr << "rebound-cli: " << rebound::platform::path_text(file) << ": " << message << "\n";
    return 1;
}

int fail(const FileError& error) {
    return fail(error.file, error.message);
}

bool parse_command(QCommandLineParser& parser, const char* command, const QStringList& args, int expected_min,
                   int expected_max, QStringList& positional, int& status) {
    parser.setApplicationDescription(QString::fromLatin1(command));
    parser.addHelpOption();
    QStringList full = args;
    full.prepend(QStringLiteral("rebound-cli"));
    if (!parser.parse(full)) {
        status = usage_error(parser.errorText().toStdString());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
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

std::filesystem::path arg_path(const QString& arg) {
    return std::filesystem::path(arg.toStdU16String());
}

}  // namespace rebound::cli

int main(int argc, char** argv) {
    using namespace rebound::cli;
#ifdef REBOUND_CLI_REPORT
    const auto app = make_application(argc, argv);  // the report command needs Qt's GUI side
#else
    QCoreApplication app(argc, argv);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("rebound-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(rebound::kVersionText));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        return usage_error("no command given");
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("-h") || first == QLatin1String("--help") || first == QLatin1String("help")) {
        print_help();
        return 0;
    }
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        std::cout << "rebound-cli " << rebound::kVersionText << "\n";
        return 0;
    }
    // Relative names, the curve folder and the report folder are taken from
    // the folder the tool is started in.
    rebound::AppContext context(rebound::platform::current_folder());
    for (const Command& c : commands()) {
        if (first == QLatin1String(c.name)) {
            try {
                return c.run(context, args);
            } catch (const std::exception& e) {
                std::cerr << "rebound-cli: " << e.what() << "\n";
                return 1;
            }
        }
    }
    return usage_error("unknown command '" + first.toStdString() + "'");
}
