// Reading and changing one key of an INI file held as bytes. Section and key
// names are compared byte for byte after trimming blanks; texts in a
// double-byte code page (GBK) are handled so that a trail byte is never taken
// for a bracket or an equals sign. Everything of the file that is not the
// changed key stays exactly as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rebound {

// The value of `key` in the first section named `section`, trimmed of blanks
// and of one pair of enclosing quotes; nullopt when the section or the key is
// missing.
std::optional<std::string> ini_read_value(std::string_view content, std::string_view section,
                                          std::string_view key);

// `content` with `key` of `section` set to `value`: the first such key line
// is rewritten (its text up to the equals sign kept), a missing key is added
// after the last line of the first matching section that is not blank, a
// missing section is added at the end. New lines use the file's own line
// ending (CR LF for a file that has none). The value must not contain line
// breaks or zero bytes; the caller checks that.
std::string ini_write_value(std::string_view content, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace rebound
