// The device record written by the hammer (.cmp, .tmp). Little-endian:
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
#include "model/rebound_file.h"

namespace rebound {

namespace {
constexpr std::size_t kDeviceHeaderSize = 96;
constexpr std::size_t kDeviceAreaSize = 40;
constexpr unsigned kDeviceMaxAreas = 100;

std::string fixed_text(const unsigned char* p, std::size_t n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    const std::size_t zero = s.find('\0');
    if (zero != std::string::npos) s.resize(zero);
    return s;
}
}  // namespace

void ComponentInfo::read_device_record(ByteReader& in) {
    reset();
    unsigned char h[kDeviceHeaderSize];
    in.read(h, sizeof h, "the 96-byte device header");

    const unsigned count = h[60];
    if (count > kDeviceMaxAreas) {
        throw FormatError("the device header announces " + std::to_string(count) +
                          " test areas; a device record holds at most 100");
    }
    in.require(count, kDeviceAreaSize, "the area records of the device file");

    component_name = fixed_text(h + 0, 8);
    device_text1 = fixed_text(h + 12, 8);
    device_text2 = fixed_text(h + 20, 8);
    device_serial = fixed_text(h + 28, 8);
    device_text4 = fixed_text(h + 36, 8);
    pump_tag = h[61];
    carbonation_mode = h[62];
    rep_carbonation_index = h[63];
    curve_filename = fixed_text(h + 64, 16);
    list_checked = 1;
    strength_avg = load_f32(h + 80);
    strength_min = load_f32(h + 84);
    strength_delta = load_f32(h + 88);
    strength_estimate = load_f32(h + 92);

    areas.reserve(count);
    unsigned char r[kDeviceAreaSize];
    for (unsigned i = 0; i < count; ++i) {
        in.read(r, sizeof r, "a device area record");
        AreaData a;
        std::memcpy(a.readings.data(), r, kReadingsPerArea);
        a.angle_index = r[16];
        a.surface_index = r[17];
        a.carbonation_index = r[18];
        a.reserved1 = r[19];
        a.mean_rebound = load_f32(r + 20);
        a.angle_correction = load_f32(r + 24);
        a.surface_correction = load_f32(r + 28);
        a.pump_correction = load_f32(r + 32);
        a.converted_strength = load_f32(r + 36);
        a.area_strength = a.converted_strength;
        add_area(a);
    }
}

}  // namespace rebound
