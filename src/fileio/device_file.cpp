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

void ComponentInfo::read_device_record(ByteReader& in, std::string_view today) {
    reset(today);
    const unsigned char* header = in.take(kDeviceHeaderSize, "the 96-byte device header");
    std::uint32_t count = 0;
    records::decode(records::kDeviceHeader, header, *this, &count);
    list_checked = 1;
    if (count > kDeviceMaxAreas) {
        FileError error;
        error.kind = FileError::Kind::Malformed;
        error.offset = 60;
        error.field = "the area count";
        error.message = "the device header announces " + std::to_string(count) +
                        " test areas; a device record holds at most 100";
        throw FormatError(std::move(error));
    }
    in.require(count, kDeviceAreaSize, "the area records of the device file");

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
        error.message = "a device record holds at most 100 test areas, not " + std::to_string(areas.size());
        throw WriteError(std::move(error));
    }
    records::encode(records::kDeviceHeader, *this, out.claim(kDeviceHeaderSize),
                    static_cast<std::uint32_t>(areas.size()), date_stamp);
    for (const AreaData& a : areas) {
        records::encode(records::kDeviceArea, a, out.claim(kDeviceAreaSize));
    }
}

}  // namespace rebound
