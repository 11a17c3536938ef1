#include "evaluation/strength_curve.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <istream>
#include <system_error>

#include "fileio/byte_io.h"
#include "model/number_text.h"

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
    padded_values = static_cast<std::int64_t>(n - complete);
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
        error.say("is_folder", {}, "is a folder, not a file");
        return error;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int code = errno;
        if (code == ENOENT) {
            error.say("cannot_open_missing", {}, "cannot be opened: the file does not exist");
        } else if (code == EACCES || code == EPERM) {
            error.say("cannot_open_denied", {}, "cannot be opened: permission denied");
        } else if (code != 0) {
            const std::string reason = std::strerror(code);
            error.say("cannot_open_reason", {reason}, "cannot be opened: " + reason);
        } else {
            error.say("cannot_open", {}, "cannot be opened");
        }
        return error;
    }
    Strength_Curve curve;
    curve.read_from(in);
    return curve;
}

std::optional<CurveDefect> find_curve_defect(const Strength_Curve& curve) {
    CurveDefect defect;
    if (curve.row_count < kEvaluationCurveRows || curve.column_count < kEvaluationCurveColumns) {
        defect.kind = CurveDefect::Kind::TooSmall;
        defect.row_count = curve.row_count;
        defect.column_count = curve.column_count;
        return defect;
    }
    const std::int64_t announced = std::int64_t{curve.row_count} * curve.column_count;
    const std::int64_t held = static_cast<std::int64_t>(curve.values.size());
    const std::int64_t present = std::min(held, announced) - std::max<std::int64_t>(curve.padded_values, 0);
    if (held < announced || present < announced) {
        defect.kind = CurveDefect::Kind::ValuesMissing;
        defect.announced = announced;
        defect.present = std::max<std::int64_t>(present, 0);
        return defect;
    }
    for (std::int64_t k = 0; k < announced; ++k) {
        const float v = curve.values[static_cast<std::size_t>(k)];
        const bool finite = std::isfinite(v);
        if (finite && v >= 0.0f && v <= kMaxCurveStrength) continue;
        defect.kind = finite ? CurveDefect::Kind::ValueOutOfRange : CurveDefect::Kind::ValueNotFinite;
        defect.row = static_cast<std::int32_t>(k / curve.column_count);
        defect.column = static_cast<std::int32_t>(k % curve.column_count);
        defect.value = v;
        return defect;
    }
    return std::nullopt;
}

std::optional<CurveDefect> read_curve_for_evaluation(const std::filesystem::path& path,
                                                     Strength_Curve& curve) {
    namespace fs = std::filesystem;
    CurveDefect defect;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        // A name that cannot even be looked up (no permission on a folder on
        // the way) is not said to be missing.
        defect.kind = status.type() == fs::file_type::not_found ? CurveDefect::Kind::Missing
                                                                : CurveDefect::Kind::CannotOpen;
        return defect;
    }
    if (fs::is_directory(status)) {
        defect.kind = CurveDefect::Kind::Folder;
        return defect;
    }
    // A pipe or a device would block the open or never end; only a regular
    // file is read.
    if (!fs::is_regular_file(status)) {
        defect.kind = CurveDefect::Kind::NotRegularFile;
        return defect;
    }
    Result<Strength_Curve> read = read_curve_file(path);
    if (!read) {
        defect.kind = CurveDefect::Kind::CannotOpen;
        return defect;
    }
    if (auto found = find_curve_defect(*read)) return found;
    curve = std::move(*read);
    return std::nullopt;
}

std::string describe(const CurveDefect& d) {
    using Kind = CurveDefect::Kind;
    const auto cell = [&] {
        return "the value at row " + std::to_string(d.row) + ", column " + std::to_string(d.column) +
               " (counted from 0) is " + shortest_text(d.value);
    };
    switch (d.kind) {
        case Kind::Missing:
            return "no such file";
        case Kind::Folder:
            return "it is a folder, not a file";
        case Kind::NotRegularFile:
            return "it is not a regular file";
        case Kind::CannotOpen:
            return "it cannot be opened";
        case Kind::TooSmall:
            return "its header announces " + std::to_string(d.row_count) + " rows and " +
                   std::to_string(d.column_count) + " columns; the evaluation needs at least " +
                   std::to_string(kEvaluationCurveRows) + " rows and " +
                   std::to_string(kEvaluationCurveColumns) + " columns";
        case Kind::ValuesMissing:
            return "it holds " + std::to_string(d.present) + " of the " + std::to_string(d.announced) +
                   " values its header announces";
        case Kind::ValueNotFinite:
            return cell();
        case Kind::ValueOutOfRange:
            return cell() + " MPa, outside 0 to " + shortest_text(kMaxCurveStrength) + " MPa";
    }
    return "it is not usable";
}

}  // namespace rebound
