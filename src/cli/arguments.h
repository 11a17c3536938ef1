// The one argument parser of rebound-cli. Every command declares its options
// in a small table and gets back its options and positional arguments; the
// parser knows nothing of any command.
//
//   --name VALUE, --name=VALUE, -x VALUE, -x=VALUE   an option with a value
//                                                     (the next argument is the
//                                                     value, also "-0.035")
//   --flag, -x                                        an option without one
//   -1, -0.5, -                                       positional arguments
//   --                                                everything after it is
//                                                     positional
//   -h, --help                                        the command's usage
//
// Arguments stay QStrings that arg_path turns back into the bytes given, so
// a file name that is not UTF-8 reaches the file system unchanged.
#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

namespace rebound::cli {

struct OptionSpec {
    std::string_view name;        // the long name without dashes: "output"
    std::string_view short_name;  // one letter, or empty: "o"
    bool takes_value = false;
};

class Arguments {
public:
    // Whether the option (by its long name) was given.
    bool has(std::string_view name) const;
    // Its value (the last one given), or nullopt when it was not given.
    std::optional<QString> value(std::string_view name) const;
    const QStringList& positional() const { return positional_; }

private:
    friend std::optional<int> parse_arguments(std::string_view, std::string_view, const QStringList&,
                                              std::span<const OptionSpec>, int, int, Arguments&);
    std::map<std::string, QString, std::less<>> values_;
    std::set<std::string, std::less<>> flags_;
    QStringList positional_;
};

// Parses the arguments of `command` ("batch", "curve fit") against its
// options. nullopt when the command is to go on; otherwise the exit status to
// end with at once: 2 after a usage error (an unknown option, a value
// missing or given to a flag, fewer than `min_positional` or more than
// `max_positional` positional arguments, -1 for no upper bound), 0 after
// --help printed `usage`.
std::optional<int> parse_arguments(std::string_view command, std::string_view usage, const QStringList& args,
                                   std::span<const OptionSpec> options, int min_positional, int max_positional,
                                   Arguments& out);

// "Usage: rebound-cli SYNOPSIS\nDESCRIPTION\n" of a command of the table.
std::string command_usage(std::string_view command);

}  // namespace rebound::cli
