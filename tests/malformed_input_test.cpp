// Malformed files through the entry points the application uses: every
// reader gives a clear one-line error that says where the file broke off,
// adds nothing half-read and never crashes; rebound-cli turns the error into
// one line on standard error and saves nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "evaluation/strength_curve.h"
#include "fileio/byte_io.h"
#include "fileio/exchange.h"
#include "cli_support.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "scratch_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#endif

namespace rebound {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// Builds a file field by field and remembers where each field starts and the
// name a reader's error gives it, so that a test can cut the file at every
// field boundary.
class FieldWriter {
public:
    struct Field {
        std::size_t start;
        std::string name;
    };
    FieldWriter& field(const std::string& name, const std::string& bytes) {
        fields_.push_back({bytes_.size(), name});
        bytes_.raw(bytes);
        return *this;
    }
    // A length-prefixed text: the length and the bytes are two fields that
    // the reader reports under the same name.
    FieldWriter& text(const std::string& name, const std::string& value) {
        field(name, Bytes().i32(static_cast<std::int32_t>(value.size())).str());
        if (!value.empty()) field(name, value);
        return *this;
    }
    FieldWriter& component(const ComponentInfo& c) {
        const std::pair<const char*, const std::string*> texts[] = {
            {"the component name", &c.component_name}, {"device text 1", &c.device_text1},
            {"device text 2", &c.device_text2},        {"the device serial", &c.device_serial},
            {"device text 4", &c.device_text4},        {"the examination date", &c.examine_date},
            {"the second date", &c.extra_date},        {"the curve file name", &c.curve_filename},
            {"the reserved text", &c.reserved_text},   {"the component description", &c.component_condition},
        };
        for (const auto& [name, value] : texts) text(name, *value);
        const char* fixed = "the fixed block of the component";
        for (std::uint8_t b :
             {c.pump_tag, c.list_checked, c.carbonation_mode, c.rep_carbonation_index, c.strength_degree}) {
            field(fixed, Bytes().u8(b).str());
        }
        for (float f : {c.strength_avg, c.strength_min, c.strength_delta, c.strength_estimate}) {
            field(fixed, Bytes().f32(f).str());
        }
        field(fixed, Bytes().u32(static_cast<std::uint32_t>(c.area_count())).str());
        for (const AreaData& a : c.areas) {
            const char* area = "the area records of the component";
            field(area, std::string(reinterpret_cast<const char*>(a.readings.data()), a.readings.size()));
            for (std::uint8_t b : {a.angle_index, a.surface_index, a.carbonation_index, a.reserved1}) {
                field(area, Bytes().u8(b).str());
            }
            for (float f : {a.mean_rebound, a.angle_correction, a.surface_correction, a.converted_strength,
                            a.pump_correction}) {
                field(area, Bytes().f32(f).str());
            }
            field(area, Bytes().u8(a.reserved2).u8(a.reserved3).str());
            field(area, Bytes().f32(a.area_strength).str());
            field(area, Bytes().f32(a.reserved4).str());
        }
        return *this;
    }
    const std::string& bytes() const { return bytes_.str(); }
    const std::vector<Field>& fields() const { return fields_; }

private:
    Bytes bytes_;
    std::vector<Field> fields_;
};

FieldWriter project_fields(const ReboundFile& p) {
    FieldWriter w;
    const std::pair<const char*, const std::string*> header[] = {
        {"the project name", &p.project_name},
        {"the project address", &p.project_address},
        {"the construction date", &p.construction_date},
        {"the constructor", &p.constructor_unit},
        {"the design organisation", &p.design_unit},
        {"the supervising organisation", &p.supervision_unit},
        {"reserved text 1", &p.reserved_text1},
        {"the concrete producer", &p.concrete_producer},
        {"the commissioning company", &p.agent_unit},
        {"the measurement date", &p.agent_date},
        {"the report number", &p.report_serial},
        {"the measurement number", &p.examine_serial},
        {"reserved text 2", &p.reserved_text2},
        {"the standard", &p.examine_basis},
        {"the project description", &p.examine_condition},
    };
    for (const auto& [name, value] : header) w.text(name, *value);
    w.field("the component count", Bytes().u32(static_cast<std::uint32_t>(p.component_count())).str());
    for (const ComponentInfo& c : p.components) w.component(c);
    return w;
}

std::string project_bytes(const ReboundFile& p) {
    ByteWriter w;
    p.write_to(w);
    return w.bytes();
}

bool one_line(const std::string& s) {
    return !s.empty() && s.find('\n') == std::string::npos;
}

class MalformedInput : public test::ScratchFolderTest {
protected:
    MalformedInput() : ScratchFolderTest("rebound-malformed-") {}
};

// A project file cut at the start of every field: the load fails with one
// line naming the field where the file ends, and no half-read component is
// kept.
TEST_F(MalformedInput, ProjectFileCutAtEveryFieldBoundaryNamesTheField) {
    const ReboundFile original = test::sample_project(1, 2);
    const FieldWriter w = project_fields(original);
    ASSERT_EQ(w.bytes(), project_bytes(original));  // the field writer follows the format

    const auto path = dir_ / "cut.prj";
    for (const FieldWriter::Field& f : w.fields()) {
        SCOPED_TRACE("cut at byte " + std::to_string(f.start) + ", start of " + f.name);
        test::write_file(path, w.bytes().substr(0, f.start));
        ReboundFile p = test::sample_project(2, 1);
        std::string error;
        ASSERT_FALSE(test::load_project(p, path, &error));
        EXPECT_TRUE(one_line(error)) << error;
        EXPECT_NE(error.find(f.name), std::string::npos) << error;
        EXPECT_NE(error.find("byte"), std::string::npos) << error;
        EXPECT_EQ(p.component_count(), 0u);
    }
}

// The same record as an exported component file, through the import.
TEST_F(MalformedInput, ComponentFileCutAtEveryFieldBoundaryImportsNothing) {
    const ComponentInfo original = *test::sample_project(1, 2).component(0);
    FieldWriter w;
    w.component(original);
    const auto path = dir_ / "cut.xcmp";
    for (const FieldWriter::Field& f : w.fields()) {
        SCOPED_TRACE("cut at byte " + std::to_string(f.start) + ", start of " + f.name);
        test::write_file(path, w.bytes().substr(0, f.start));
        ComponentInfo out;
        out.component_name = "untouched";
        std::string error;
        ASSERT_EQ(test::import_into(path, out, &error), test::ImportOutcome::Failed);
        EXPECT_TRUE(one_line(error)) << error;
        EXPECT_NE(error.find(f.name), std::string::npos) << error;
        EXPECT_EQ(out.component_name, "untouched");
    }
    test::write_file(path, w.bytes());
    ComponentInfo out;
    ASSERT_EQ(test::import_into(path, out), test::ImportOutcome::Imported);
    EXPECT_TRUE(out == original);
}

// A device header cut at every field boundary.
TEST_F(MalformedInput, DeviceHeaderCutAtEveryFieldBoundaryImportsNothing) {
    const std::string full = test::device_record("B1", {});
    for (std::size_t cut : {0, 8, 12, 20, 28, 36, 44, 60, 61, 62, 63, 64, 80, 84, 88, 92}) {
        SCOPED_TRACE("cut at byte " + std::to_string(cut));
        const auto path = dir_ / "cut.cmp";
        test::write_file(path, full.substr(0, cut));
        ComponentInfo out;
        out.component_name = "untouched";
        std::string error;
        ASSERT_EQ(test::import_into(path, out, &error), test::ImportOutcome::Failed);
        EXPECT_TRUE(one_line(error)) << error;
        EXPECT_NE(error.find("device header"), std::string::npos) << error;
        EXPECT_EQ(out.component_name, "untouched");
    }
}

// Lengths and counts at their limits and one beyond.
TEST_F(MalformedInput, LengthsAndCountsAtAndBeyondTheirLimits) {
    Bytes header;
    for (int i = 0; i < 15; ++i) header.text("");
    auto component_with_areas = [](std::uint32_t announced, int present) {
        Bytes b;
        for (int i = 0; i < 10; ++i) b.text("");
        b.u8(1).u8(1).u8(0).u8(0).u8(2).f32(1).f32(2).f32(3).f32(4).u32(announced);
        for (int i = 0; i < present; ++i) b.zeros(kAreaRecordSize);
        return b.str();
    };
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
        std::size_t components;
        const char* message_part;  // when it fails
    };
    const std::vector<Case> cases = {
        {"text length INT32_MIN", Bytes().i32(INT32_MIN).str(), false, 0, "negative"},
        {"text length -1", Bytes().i32(-1).str(), false, 0, "negative"},
        {"text length exactly the rest", Bytes().i32(3).raw("abc").str(), false, 0, "the project address"},
        {"text length one beyond the rest", Bytes().i32(4).raw("abc").str(), false, 0, "only 3 bytes remain"},
        {"area count exactly fits", Bytes(header).u32(1).raw(component_with_areas(3, 3)).str(), true, 1, ""},
        {"area count one beyond", Bytes(header).u32(1).raw(component_with_areas(4, 3)).str(), false, 0,
         "4 x 50 bytes announced"},
        {"area count UINT32_MAX", Bytes(header).u32(1).raw(component_with_areas(UINT32_MAX, 1)).str(), false,
         0, "4294967295 x 50 bytes"},
        {"component count one beyond", Bytes(header).u32(2).raw(component_with_areas(0, 0)).str(), false, 1,
         "component 2 of 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir_ / "limits.prj";
        test::write_file(path, c.bytes);
        ReboundFile p;
        std::string error;
        EXPECT_EQ(test::load_project(p, path, &error), c.loads) << error;
        EXPECT_EQ(p.component_count(), c.components);
        if (!c.loads) {
            EXPECT_TRUE(one_line(error)) << error;
            EXPECT_NE(error.find(c.message_part), std::string::npos) << error;
        }
    }
}

// Zero bytes cut a text; bytes that are not valid GBK are kept as they are
// and saved back unchanged.
TEST_F(MalformedInput, ZeroBytesAndInvalidGbkInTexts) {
    ReboundFile p = test::sample_project(1, 0);
    const std::string invalid = "\x81\x20\xFF\x80?\xFE";  // lead byte + space, 0xFF, lone 0x80, lead at end
    p.project_name = invalid;
    p.component(0)->component_name = invalid;
    std::string bytes = project_bytes(p);
    const auto path = dir_ / "texts.prj";
    {
        // A zero byte inside the project address: "No. 1 Road" -> "No".
        const std::size_t at = bytes.find("No. 1 Road");
        ASSERT_NE(at, std::string::npos);
        bytes[at + 2] = '\0';
    }
    test::write_file(path, bytes);
    ReboundFile loaded;
    std::string error;
    ASSERT_TRUE(test::load_project(loaded, path, &error)) << error;
    EXPECT_EQ(loaded.project_name, invalid);
    EXPECT_EQ(loaded.component(0)->component_name, invalid);
    EXPECT_EQ(loaded.project_address, "No");
    const Result<void> saved = loaded.save(path);
    ASSERT_TRUE(saved) << test::error_message(saved);
    ReboundFile again;
    ASSERT_TRUE(again.load(path, test::today()));
    EXPECT_TRUE(again == loaded);
}

// Files that are empty, folders, or unreadable, for every format.
TEST_F(MalformedInput, EmptyFilesAndFoldersInPlaceOfFiles) {
    for (const char* name :
         {"empty.prj", "empty.xcmp", "empty.cmp", "folder.prj", "folder.xcmp", "folder.cmp"}) {
        SCOPED_TRACE(name);
        const auto path = dir_ / name;
        const bool folder = std::string(name).rfind("folder", 0) == 0;
        if (folder) {
            fs::create_directory(path);
        } else {
            test::write_file(path, "");
        }
        std::string error;
        if (file_extension(name) == ".prj") {
            ReboundFile p = test::sample_project(2, 1);
            const ReboundFile before = p;
            EXPECT_FALSE(test::load_project(p, path, &error));
            // A folder is not opened at all: the project is untouched. An
            // empty file breaks off at once: the project has been reset.
            EXPECT_EQ(p == before, folder);
        } else {
            ComponentInfo out;
            out.component_name = "untouched";
            EXPECT_EQ(test::import_into(path, out, &error),
                      folder ? test::ImportOutcome::CannotOpen : test::ImportOutcome::Failed);
            EXPECT_EQ(out.component_name, "untouched");
        }
        EXPECT_TRUE(one_line(error)) << error;
    }

    // The curve reader never fails: an empty file or a folder gives an empty
    // curve, and so does a header announcing more values than allowed.
    fs::create_directory(dir_ / "folder.cur");
    test::write_file(dir_ / "empty.cur", "");
    test::write_file(dir_ / "huge.cur", Bytes().i32(100000).i32(100000).zeros(16).f32(1.0f).str());
    for (const char* name : {"folder.cur", "empty.cur", "huge.cur"}) {
        SCOPED_TRACE(name);
        std::ifstream in(dir_ / name, std::ios::binary);
        Strength_Curve curve;
        curve.values = {1.0f};
        curve.read_from(in);
        EXPECT_TRUE(curve == Strength_Curve{});
    }
}

// The curve reader's limit on the number of values, at and beyond it, and
// counts whose product overflows 32 bits.
TEST_F(MalformedInput, CurveValueCountsAtAndBeyondTheLimit) {
    struct Case {
        const char* name;
        std::int32_t rows, columns;
        std::size_t values;  // 0: the header is refused and the curve is empty
    };
    const std::vector<Case> cases = {
        {"exactly the limit", 1000, 1000, 1'000'000},
        {"one row beyond", 1001, 1000, 0},
        {"product beyond 32 bits", 65536, 65536, 0},
        {"INT32_MIN rows, -1 columns", INT32_MIN, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir_ / "limit.cur";
        test::write_file(path, Bytes().i32(c.rows).i32(c.columns).zeros(16).f32(7.5f).str());
        std::ifstream in(path, std::ios::binary);
        Strength_Curve curve;
        curve.read_from(in);
        ASSERT_EQ(curve.values.size(), c.values);
        if (c.values == 0) {
            EXPECT_TRUE(curve == Strength_Curve{});
        } else {
            EXPECT_EQ(curve.values.back(), 7.5f);  // every missing value repeats the last one read
        }
    }
}

#ifdef __linux__
// Root reads any file while the capabilities that override permission bits
// are in its effective set. This lowers them for the calling thread while it
// lives (they stay permitted, so they can be raised again), so that root
// meets permission bits like any user.
class PermissionBitsApply {
public:
    PermissionBitsApply() {
        if (syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~PermissionBitsApply() {
        if (active_) syscall(SYS_capset, &header_, saved_);
    }
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;
    bool active() const { return active_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};
#endif

TEST_F(MalformedInput, UnreadableFileCannotBeOpened) {
#ifdef _WIN32
    GTEST_SKIP() << "permission bits are a POSIX notion";
#else
#ifdef __linux__
    PermissionBitsApply bits;
    if (geteuid() == 0 && !bits.active())
        GTEST_SKIP() << "running as root and cannot lower the capabilities that bypass permission bits";
#else
    if (geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop root from reading";
#endif
    for (const char* name : {"locked.prj", "locked.xcmp", "locked.cmp"}) {
        SCOPED_TRACE(name);
        const auto path = dir_ / name;
        test::write_file(path, project_bytes(test::sample_project(1, 1)));
        fs::permissions(path, fs::perms::none);
        std::string error;
        if (file_extension(name) == ".prj") {
            ReboundFile p = test::sample_project(2, 1);
            const ReboundFile before = p;
            EXPECT_FALSE(test::load_project(p, path, &error));
            EXPECT_TRUE(p == before);
        } else {
            ComponentInfo out;
            EXPECT_EQ(test::import_into(path, out, &error), test::ImportOutcome::CannotOpen);
        }
        EXPECT_EQ(error, "cannot be opened: permission denied");
    }
#endif
}

// A stream that cannot seek, like a pipe: its size is not known in advance.
class PipeBuf : public std::streambuf {
public:
    explicit PipeBuf(std::string bytes) : bytes_(std::move(bytes)) {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

private:
    std::string bytes_;
};

// What reading gives: the error (empty on success) and the project's bytes.
std::pair<std::string, std::string> read_project(std::istream& in) {
    ReboundFile p;
    std::string error;
    try {
        ByteReader reader(in);
        p.read_from(reader, test::today());
    } catch (const std::exception& e) {
        error = e.what();
    }
    return {error, project_bytes(p)};
}

// Through a pipe a reader cannot compare lengths with the file's size up
// front; it must still refuse a corrupt length or count before allocating
// it, with the same error as for a file.
TEST_F(MalformedInput, APipeGivesTheSameResultsAsAFile) {
    Bytes header;
    for (int i = 0; i < 15; ++i) header.text("");
    Bytes component;
    for (int i = 0; i < 10; ++i) component.text("");
    component.u8(1).u8(1).u8(0).u8(0).u8(2).f32(1).f32(2).f32(3).f32(4);
    const std::string good = project_bytes(test::sample_project(2, 2));
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"whole project", good},
        {"project cut short", good.substr(0, good.size() - 5)},
        {"text length INT32_MAX", Bytes().i32(INT32_MAX).raw("abc").str()},
        {"component count UINT32_MAX", Bytes(header).u32(UINT32_MAX).str()},
        {"area count UINT32_MAX", Bytes(header).u32(1).raw(component.str()).u32(UINT32_MAX).str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir_ / "file.prj";
        test::write_file(path, c.bytes);
        std::ifstream file(path, std::ios::binary);
        PipeBuf pipe_buf(c.bytes);
        std::istream pipe(&pipe_buf);
        const auto from_file = read_project(file);
        const auto from_pipe = read_project(pipe);
        EXPECT_EQ(from_pipe.first, from_file.first);
        EXPECT_EQ(from_pipe.second, from_file.second);
    }
}

// rebound-cli reports a malformed file as one line naming the file and
// leaves the project it would have saved untouched. Only dump prints
// something first: what it could read before the error.
TEST_F(MalformedInput, CommandLineToolGivesOneLineAndSavesNothing) {
    const std::string project = project_bytes(test::sample_project(2, 2));
    test::write_file(dir_ / "site.prj", project);
    test::write_file(dir_ / "empty.prj", "");
    test::write_file(dir_ / "cut.prj", project.substr(0, project.size() - 3));
    fs::create_directory(dir_ / "folder.prj");
    test::write_file(dir_ / "many.cmp", test::device_record("B1", {}, 101));
    test::write_file(dir_ / "cut.xcmp", Bytes().text("B1").i32(1000).str());
    test::write_file(dir_ / "good.cmp", test::device_record("B2", {}));

    struct Case {
        QStringList args;
        const char* file;  // named by the error
        const char* message_part;
    };
    auto at = [&](const char* name) { return QString::fromStdString((dir_ / name).string()); };
    const std::vector<Case> cases = {
        {{"dump", at("empty.prj")}, "empty.prj", "the project name"},
        {{"dump", at("cut.prj")}, "cut.prj", "component 2 of 2"},
        {{"dump", at("folder.prj")}, "folder.prj", "folder"},
        {{"dump", at("many.cmp")}, "many.cmp", "at most 100"},
        {{"import", at("site.prj"), at("good.cmp"), at("cut.xcmp")}, "cut.xcmp", "nothing was saved"},
        {{"import", at("site.prj"), at("many.cmp")}, "many.cmp", "nothing was saved"},
        {{"import", at("cut.prj"), at("good.cmp")}, "cut.prj", "component 2 of 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const test::CliRun r = test::run_cli(c.args, dir_);
        EXPECT_EQ(r.status, 1);
        if (c.args[0] != "dump" || std::string(c.file) != "cut.prj") {
            EXPECT_TRUE(r.out.empty()) << r.out;
        }
        ASSERT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("rebound-cli: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.file), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.message_part), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::read_file(dir_ / "site.prj"), project);
    EXPECT_EQ(test::read_file(dir_ / "cut.prj"), project.substr(0, project.size() - 3));
}

}  // namespace
}  // namespace rebound
