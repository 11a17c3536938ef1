// rebound-cli: batch work on project, component, device and curve files
// without windows.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/output_buffer.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
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
        {"evaluate",
         "evaluate PROJECT [--curve FILE] [-o OUT] [--strict] [--pumped correction|curve] "
         "[--arithmetic device|standard]",
         "Evaluate every component of PROJECT with the curve FILE (default: the curve chosen in the window, "
         "else curve/normal.cur), save to OUT "
         "(default PROJECT) and print one line of figures per component; with --strict an area outside the "
         "curve is an error and nothing is saved. --pumped and --arithmetic override the project's settings: "
         "pumped concrete by the correction or by the pumped-concrete curve (curve/pumped2011.cur beside "
         "normal.cur), the hammer's arithmetic or the standard's.",
         run_evaluate},
        {"verify", "verify PROJECT [--json]",
         "List per component the areas whose readings were typed by hand and those whose conditions were "
         "entered at the desk. Exits 0 when no reading was typed, 1 otherwise.",
         run_verify},
        {"curve",
         "curve fit PAIRS.csv -o OUT.cur [--kind special|regional] [--report FIT.pdf] [--json] [--strict]\n"
         "  curve formula --a A --b B --c C --rm LO,HI --depth LO,HI --strength LO,HI -o OUT.cur [--json]",
         "Build a strength curve file of one's own: fitted to paired tests (CSV with the header "
         "rm,depth,strength) and held against the acceptance limits of its kind (a curve not accepted is "
         "still written, unless --strict), or from a published formula f = A * Rm^B * 10^(C * dm).",
         run_curve},
        {"batch",
         "batch PROJECT [--components LIST] [--k K] [--lot-size N] [--cores FILE.csv] "
         "[--method amount|coefficient] [--strict] [--json]",
         "Print the figures of a batch of components (LIST such as 1,3-5, default the ticked ones): one line per "
         "component and the batch line with its verdict; with a cores file (component,area,strength) or the "
         "cores kept in the project also the corrected figures. --strict makes a batch that is not valid an "
         "error. Writes nothing.",
         run_batch},
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

int output_failed(const char* done) {
    std::cerr << "rebound-cli: standard output could not be written" << (done ? "; " : "") << (done ? done : "")
              << "\n";
    return 1;
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
    return rebound::platform::to_path(arg);
}

namespace {

// The arguments after the program's name. On Windows as Qt reads them (the
// system hands them over as UTF-16); elsewhere from argv's own bytes, with
// the bytes of a name that is not UTF-8 kept as lone surrogates that
// arg_path turns back into the same bytes, instead of Qt's U+FFFD.
QStringList command_line(int argc, char** argv) {
#ifdef _WIN32
    (void)argc, (void)argv;
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return args;
#else
    QStringList args;
    for (int i = 1; i < argc; ++i) args.append(rebound::platform::from_path(std::filesystem::path(argv[i])));
    return args;
#endif
}

// Whatever is still buffered for standard output, written; false when it
// could not be (a full disk, a closed pipe).
bool output_written() {
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

}  // namespace

}  // namespace rebound::cli

int main(int argc, char** argv) {
    using namespace rebound::cli;
    // Both streams are written in blocks, not fragment by fragment (ends
    // after the application object, so that its last notices are kept).
    const OutputBuffers buffers;
#ifdef REBOUND_CLI_REPORT
    const auto app = make_application(argc, argv);  // the report command needs Qt's GUI side
#else
    QCoreApplication app(argc, argv);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("rebound-cli"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(rebound::kVersionText));
    QStringList args = command_line(argc, argv);
    if (args.isEmpty()) {
        return usage_error("no command given");
    }
    const QString first = args.takeFirst();
    if (first == QLatin1String("-h") || first == QLatin1String("--help") || first == QLatin1String("help")) {
        print_help();
        return output_written() ? 0 : output_failed();
    }
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        std::cout << "rebound-cli " << rebound::kVersionText << "\n";
        return output_written() ? 0 : output_failed();
    }
    // Relative names, the curve folder and the report folder are taken from
    // the folder the tool is started in.
    rebound::AppContext context(rebound::platform::current_folder());
    for (const Command& c : commands()) {
        if (first == QLatin1String(c.name)) {
            try {
                const int status = c.run(context, args);
                // Output that never reached its destination is a failure,
                // whatever the command did before.
                if (status == 0 && !output_written()) return output_failed();
                return status;
            } catch (const std::exception& e) {
                std::cerr << "rebound-cli: " << e.what() << "\n";
                return 1;
            }
        }
    }
    return usage_error("unknown command '" + first.toStdString() + "'");
}
