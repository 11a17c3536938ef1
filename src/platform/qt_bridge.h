// Qt-typed conveniences over the text converter, for code that already links
// Qt (windows, report, command-line tool). The core outside src/platform never
// includes this header.
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace rebound::platform {

// ANSI bytes of the model to a QString, and back.
QString to_qstring(std::string_view ansi);
std::string from_qstring(const QString& text);

// A path typed or chosen by the user, as a file-system path, and back. On
// Linux a name's bytes that are not UTF-8 become the lone surrogates U+DC80
// to U+DCFF and back, so that the round trip keeps every byte.
std::filesystem::path to_path(const QString& path);
QString from_path(const std::filesystem::path& path);

}  // namespace rebound::platform
