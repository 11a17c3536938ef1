// A coded message: what the core says when something fails or needs the
// operator's attention, in a form every front end can word for itself. The
// code names one English sentence whose %1, %2, ... its arguments fill in
// order; `english` is that sentence filled, which the command-line tool
// prints. The window renders the code through its catalogue (ui/error_text),
// the reports through the report catalogue. A FileError's sentences have the
// same shape; a Message is the same thing for failures that are not about a
// file (a fit, a verdict, a value out of range).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rebound {

struct Message {
    std::string code;
    std::vector<std::string> args;
    std::string english;

    bool operator==(const Message&) const = default;
};

// The message for `code` with its arguments; `pattern` is the English
// sentence with %1, %2, ... standing for the arguments in order.
inline Message coded(std::string code, std::vector<std::string> args, const std::string& pattern) {
    std::string english;
    english.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) english += args[n];
            ++i;
            continue;
        }
        english += pattern[i];
    }
    return Message{std::move(code), std::move(args), std::move(english)};
}

}  // namespace rebound
