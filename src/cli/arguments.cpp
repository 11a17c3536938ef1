#include "cli/arguments.h"

#include <iostream>

#include "cli/commands.h"

namespace rebound::cli {

namespace {

// "-1", "-0.5", "-.5": a negative number, which is an argument, not an option.
bool is_negative_number(const QString& arg) {
    return arg.size() >= 2 && arg[0] == QLatin1Char('-') &&
           (arg[1].isDigit() || (arg[1] == QLatin1Char('.') && arg.size() >= 3 && arg[2].isDigit()));
}

}  // namespace

bool Arguments::has(std::string_view name) const {
    return flags_.count(name) > 0 || values_.count(name) > 0;
}

std::optional<QString> Arguments::value(std::string_view name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<int> parse_arguments(std::string_view command, std::string_view usage, const QStringList& args,
                                   std::span<const OptionSpec> options, int min_positional, int max_positional,
                                   Arguments& out) {
    out = Arguments();
    bool options_end = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (options_end || arg.size() < 2 || arg[0] != QLatin1Char('-') || is_negative_number(arg)) {
            out.positional_.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            options_end = true;
            continue;
        }
        const bool is_long = arg[1] == QLatin1Char('-');
        QString name = arg.mid(is_long ? 2 : 1);
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        const std::string key = name.toStdString();
        if (key == "help" || (!is_long && key == "h")) {
            std::cout << usage;
            return 0;
        }
        const OptionSpec* known = nullptr;
        for (const OptionSpec& o : options) {
            if (is_long ? o.name == key : (!o.short_name.empty() && o.short_name == key)) known = &o;
        }
        if (!known) return usage_error("unknown option '" + arg.toStdString() + "'");
        const std::string shown = (is_long ? "--" : "-") + key;
        if (!known->takes_value) {
            if (value) return usage_error("option '" + shown + "' takes no value");
            out.flags_.emplace(known->name);
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) return usage_error("option '" + shown + "' needs a value");
            value = args[++i];
        }
        out.values_[std::string(known->name)] = *value;
    }
    const auto n = out.positional_.size();
    if (n < min_positional || (max_positional >= 0 && n > max_positional)) {
        return usage_error("wrong number of arguments for '" + std::string(command) + "'");
    }
    return std::nullopt;
}

std::string command_usage(std::string_view command) {
    for (const Command& c : commands()) {
        if (command == c.name) return std::string("Usage: rebound-cli ") + c.synopsis + "\n" + c.description + "\n";
    }
    return {};
}

}  // namespace rebound::cli
