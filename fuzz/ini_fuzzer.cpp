// Settings file: the bytes are taken as the content of "setting.ini" and the
// curve name is read and written the way the settings store does it. After a
// write the key reads back as written, writing it again changes nothing, and
// other keys, in the same section or another, read as they did before.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/ini_file.h"

namespace {

// Section "系统设置" and key "测强曲线" in GBK, as the settings store uses them.
constexpr std::string_view kSection = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";
constexpr std::string_view kCurveKey = "\xB2\xE2\xC7\xBF\xC7\xFA\xCF\xDF";

// Values the store may write: no line breaks or zero bytes (it refuses
// those), no blanks or quotes at the ends (reading trims them).
constexpr std::string_view kValues[] = {"normal.cur", "\xB2\xE2\xC7\xBF.cur", "a b=c].cur", ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound;
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::string_view value = kValues[size % std::size(kValues)];

    const std::optional<std::string> other_key = ini_read_value(content, kSection, "other");
    const std::optional<std::string> other_section = ini_read_value(content, "Other", "name");
    (void)ini_read_value(content, kSection, kCurveKey);

    const std::string updated = ini_write_value(content, kSection, kCurveKey, value);
    FUZZ_CHECK(ini_read_value(updated, kSection, kCurveKey) == std::optional<std::string>(value));
    FUZZ_CHECK(ini_write_value(updated, kSection, kCurveKey, value) == updated);
    FUZZ_CHECK(ini_read_value(updated, kSection, "other") == other_key);
    FUZZ_CHECK(ini_read_value(updated, "Other", "name") == other_section);
    // Nothing is dropped: every byte of the old file is still there.
    FUZZ_CHECK(updated.size() >= content.size() || content.find(kCurveKey) != std::string_view::npos);
    return 0;
}
