// The device record written by the hammer (.cmp, .tmp). Little-endian; the
// fields are those of kDeviceHeader and kDeviceArea in
// model/record_layout.h:
//
//   header, 96 bytes:
//     +0  char[8]  component name        +8  uint32 date stamp (not read)
//     +12 char[8]  device text 1         +20 char[8]  device text 2
//     +28 char[8]  device serial         +36 char[8]  device text 4
//     +44 16 reserved bytes              +60 uint8 area count K (0..100)
//     +61 uint8 pumped flag              +62 uint8 carbonation mode
//     +63 uint8 representative carbonation index
//     +64 char[16] curve file name
//     +80 float32 mean, +84 minimum, +88 standard deviation, +92 estimate
//   then K area records, 40 bytes each:
//     +0 16 readings  +16 angle  +17 surface  +18 carbonation  +19 spare byte
//     +20 mean rebound  +24 angle correction  +28 surface correction
//     +32 pumped correction  +36 area strength (float32 each)
//
// Fixed-width texts end at their first zero byte or fill the field.
#include "fileio/byte_io.h"
#include "fileio/record_codec.h"
#include "model/rebound_file.h"

namespace rebound {

using records::kDeviceAreaSize;
using records::kDeviceHeaderSize;
using records::kDeviceMaxAreas;

namespace {

[[noreturn]] void not_a_device_file(std::uint64_t offset, std::string field, const std::string& why) {
    FileError error;
    error.kind = FileError::Kind::Malformed;
    error.offset = offset;
    error.field = std::move(field);
    error.message = "not a device component file: " + why;
    throw FormatError(std::move(error));
}

std::string hex_byte(unsigned char b) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[b >> 4] + digits[b & 0xF];
}

// A hammer writes letters, digits and GBK texts into its fixed-width fields,
// never control characters: a file whose texts hold them (a project renamed
// to .cmp, where the field starts with a length) is something else.
void check_texts(const unsigned char* header, std::uint64_t start) {
    std::size_t at = 0;
    records::for_each(records::kDeviceHeader, [&](const auto& f) {
        using F = std::decay_t<decltype(f)>;
        if constexpr (records::is_fixed_text<F>::value) {
            for (std::size_t i = 0; i < f.width && header[at + i] != 0; ++i) {
                const unsigned char c = header[at + i];
                if (c < 0x20 || c == 0x7F) {
                    not_a_device_file(start + at + i, f.name,
                                      std::string("the ") + f.name + " holds the control character " +
                                          hex_byte(c) + " at byte " + std::to_string(start + at + i));
                }
            }
        }
        at += records::width_of(f);
    });
}

}  // namespace

void ComponentInfo::read_device_record(ByteReader& in, std::string_view today) {
    reset(today);
    const std::uint64_t start = in.offset();
    const unsigned char* header = in.take(kDeviceHeaderSize, "the 96-byte device header");
    std::uint32_t count = 0;
    records::decode(records::kDeviceHeader, header, *this, &count);
    list_checked = 1;
    check_texts(header, start);
    if (count > kDeviceMaxAreas) {
        FileError error;
        error.kind = FileError::Kind::Malformed;
        error.offset = start + 60;
        error.field = "the area count";
        error.say("device_too_many_areas", {std::to_string(count)},
                  "the device header announces " + std::to_string(count) +
                      " test areas; a device record holds at most 100");
        throw FormatError(std::move(error));
    }
    if (component_name.empty() && count == 0) {
        not_a_device_file(start, "the component name", "it has no component name and no test areas");
    }
    const std::uint64_t announced = std::uint64_t{count} * kDeviceAreaSize;
    if (in.remaining() < announced) {
        not_a_device_file(in.offset(), "the area records of the device file",
                          "the header announces " + std::to_string(count) + " test areas (" +
                              std::to_string(kDeviceHeaderSize + announced) + " bytes in all), the data ends at byte " +
                              std::to_string(in.offset() + in.remaining()));
    }

    areas.reserve(count);
    AreaData area;
    for (std::uint32_t i = 0; i < count; ++i) {
        records::decode(records::kDeviceArea, in.take(kDeviceAreaSize, "a device area record"), area);
        add_area(area);
    }
}

void ComponentInfo::write_device_record(ByteWriter& out, std::uint32_t date_stamp) const {
    if (areas.size() > kDeviceMaxAreas) {
        FileError error;
        error.kind = FileError::Kind::WriteFailed;
        error.field = "the area count";
        error.say("device_record_too_many_areas", {std::to_string(areas.size())},
                  "a device record holds at most 100 test areas, not " + std::to_string(areas.size()));
        throw WriteError(std::move(error));
    }
    records::encode(records::kDeviceHeader, *this, out.claim(kDeviceHeaderSize),
                    static_cast<std::uint32_t>(areas.size()), date_stamp);
    for (const AreaData& a : areas) {
        records::encode(records::kDeviceArea, a, out.claim(kDeviceAreaSize));
    }
}

}  // namespace rebound
