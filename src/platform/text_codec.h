// Conversion between the model's 8-bit ANSI texts and Unicode. The ANSI code
// page is the system's on Windows and code page 936 (GBK) elsewhere. This is
// the only converter; windows, reports and JSON output all go through it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace rebound::platform {

// ANSI bytes to UTF-8. Bytes that are not valid in the code page become U+FFFD.
std::string ansi_to_utf8(std::string_view ansi);
// UTF-8 to ANSI bytes. Characters the code page lacks become '?'.
std::string utf8_to_ansi(std::string_view utf8);
// Told once per process, in English, the first time the converter has to fall
// back: bytes that are not valid in the code page (shown as U+FFFD), or no
// converter for the code page at all (bytes read as Latin-1). Until a
// receiver is set, the notice goes to the standard error output; setting one
// starts over, so that the next fallback is told to it.
using ConversionNotice = std::function<void(const std::string& notice)>;
void set_conversion_notice(ConversionNotice receiver);

// A file name held as ANSI bytes (as the settings store keeps the curve's),
// as a file-system path.
std::filesystem::path path_from_ansi(std::string_view ansi);
// A path as UTF-8 for messages: on Linux a byte that is not part of UTF-8,
// and a control character, shows as \xNN, so that the message names the
// file exactly and cannot steer the terminal it is printed on.
std::string path_bytes_text(const std::filesystem::path& path);

// Text that came from a file, made safe to print on a terminal: UTF-8 stays
// as it is, every control byte (0x00 to 0x1F, 0x7F), C1 control character and
// byte that is not part of UTF-8 shows as \xNN. Cut after `max_chars`
// characters, "..." marking the cut.
inline constexpr std::size_t kQuotedTextLimit = 200;
std::string terminal_text(std::string_view text, std::size_t max_chars = std::string_view::npos);

}  // namespace rebound::platform
