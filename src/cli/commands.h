// The commands of rebound-cli. Each takes the application context and the
// arguments that follow its name and returns the process exit status: 0
// success, 1 failure (one line on standard error), 2 usage error.
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "evaluation/curve_fit.h"
#include "platform/file_error.h"
#include "settings/app_context.h"

class QCommandLineParser;

namespace rebound::cli {

struct Command {
    const char* name;
    const char* synopsis;     // shown by --help
    const char* description;  // one line, shown by --help
    int (*run)(AppContext& context, const QStringList& args);
};

// The table of every command, in the order --help lists them.
const std::vector<Command>& commands();

int run_dump(AppContext& context, const QStringList& args);
int run_import(AppContext& context, const QStringList& args);
int run_export_component(AppContext& context, const QStringList& args);
int run_evaluate(AppContext& context, const QStringList& args);
int run_report(AppContext& context, const QStringList& args);
int run_curve(AppContext& context, const QStringList& args);

// Writes the fit report of a curve as a PDF (the template
// report/curve_fit1.grf of the context); returns the exit status.
int write_curve_fit_report(AppContext& context, const std::vector<CurvePair>& pairs, const CurveFit& fit,
                           CurveKind kind, const std::filesystem::path& curve, const std::filesystem::path& pdf);
int run_batch(AppContext& context, const QStringList& args);
int run_verify(AppContext& context, const QStringList& args);

// The application object: a GUI one (offscreen unless QT_QPA_PLATFORM says
// otherwise) for the report command, which lays out text, else a core one.
std::unique_ptr<QCoreApplication> make_application(int& argc, char** argv);

// Prints a curve file as JSON; returns the exit status.
int dump_curve_file(const std::filesystem::path& file, bool pretty);

// "rebound-cli: FILE: message" on standard error; returns 1.
int fail(const std::filesystem::path& file, const std::string& message);
// The same for an error of a reader or writer.
int fail(const FileError& error);
// "rebound-cli: standard output could not be written" on standard error,
// followed by what was done all the same (`done`, for example "the project
// was saved"); returns 1.
int output_failed(const char* done = nullptr);
// "rebound-cli: message" plus a hint to --help on standard error; returns 2.
int usage_error(const std::string& message);

// Parses the options of one command (the caller has added its own options);
// positional arguments are returned. `expected_min`/`expected_max` bound
// their number (-1: no upper bound). False when the command is to end with
// `status` at once: a usage error, or --help, which prints the command's
// synopsis and description.
bool parse_command(QCommandLineParser& parser, const char* command, const QStringList& args, int expected_min,
                   int expected_max, QStringList& positional, int& status);

// A command-line argument as a file-system path, byte for byte as given.
std::filesystem::path arg_path(const QString& arg);

}  // namespace rebound::cli
