#include "evaluation/strength_curve.h"

#include <cstring>
#include <fstream>
#include <istream>

#include "fileio/byte_io.h"

namespace rebound {

namespace {

// Number of values a header announces, or 0 when the product of its counts is
// zero, negative or beyond kMaxCurveValues.
std::int64_t announced_values(std::int32_t rows, std::int32_t columns) {
    const std::int64_t product = std::int64_t{rows} * std::int64_t{columns};
    return product > 0 && product <= kMaxCurveValues ? product : 0;
}

}  // namespace

void Strength_Curve::reset() {
    *this = Strength_Curve{};
}

void Strength_Curve::read_from(std::istream& in) {
    reset();

    // Header: a field the stream cuts short keeps its reset value.
    unsigned char header[kCurveHeaderSize] = {};
    std::size_t header_got = 0;
    if (in) {
        in.read(reinterpret_cast<char*>(header), kCurveHeaderSize);
        header_got = static_cast<std::size_t>(in.gcount());
    }
    const auto field_present = [&](std::size_t offset) { return offset + 4 <= header_got; };
    if (field_present(0)) row_count = static_cast<std::int32_t>(load_u32(header + 0));
    if (field_present(4)) column_count = static_cast<std::int32_t>(load_u32(header + 4));
    if (field_present(8)) aux_int_1 = static_cast<std::int32_t>(load_u32(header + 8));
    if (field_present(12)) aux_real_1 = load_f32(header + 12);
    if (field_present(16)) aux_int_2 = static_cast<std::int32_t>(load_u32(header + 16));
    if (field_present(20)) aux_real_2 = load_f32(header + 20);

    const std::int64_t product = std::int64_t{row_count} * std::int64_t{column_count};
    if (product > kMaxCurveValues) {
        // A corrupt header: nothing of it is kept.
        reset();
        return;
    }
    const std::int64_t count = announced_values(row_count, column_count);
    if (count == 0) return;

    // Values: one block read. Every value the stream does not deliver in full
    // repeats the value before it (0.0 before the first).
    const std::size_t n = static_cast<std::size_t>(count);
    std::string bytes(n * 4, '\0');
    std::size_t got = 0;
    if (in) {
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        got = static_cast<std::size_t>(in.gcount());
    }
    const std::size_t complete = got / 4;
    values.resize(n);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t k = 0; k < complete; ++k) values[k] = load_f32(p + 4 * k);
    const float last = complete > 0 ? values[complete - 1] : 0.0f;
    for (std::size_t k = complete; k < n; ++k) values[k] = last;
}

std::string Strength_Curve::to_bytes() const {
    ByteWriter out;
    out.i32(row_count);
    out.i32(column_count);
    out.i32(aux_int_1);
    out.f32(aux_real_1);
    out.i32(aux_int_2);
    out.f32(aux_real_2);
    const std::int64_t count = announced_values(row_count, column_count);
    for (std::int64_t k = 0; k < count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        out.f32(i < values.size() ? values[i] : 0.0f);
    }
    return out.bytes();
}

Result<Strength_Curve> read_curve_file(const std::filesystem::path& path) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = path;
    // Some systems open a folder as a stream that reads nothing; only a file
    // counts as opened.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error.message = "is a folder, not a file";
        return error;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error.message = "cannot be opened";
        return error;
    }
    Strength_Curve curve;
    curve.read_from(in);
    return curve;
}

}  // namespace rebound
