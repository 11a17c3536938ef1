#include <gtest/gtest.h>

#include <QLocale>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dates.h"
#include "platform/files.h"
#include "platform/message.h"
#include "platform/text_codec.h"

#ifdef _WIN32
#include "fixtures.h"
#include "scratch_folder.h"
#endif

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace rebound::platform {
namespace {

TEST(CodedMessage, ArgumentsFillTheEnglishInOrder) {
    const struct {
        const char* pattern;
        std::vector<std::string> args;
        const char* english;
    } cases[] = {
        {"area %1 of component %2", {"3", "KZ-1"}, "area 3 of component KZ-1"},
        {"%2 before %1", {"a", "b"}, "b before a"},
        {"100% sure", {}, "100% sure"},
        {"a missing %3 stays empty", {"x"}, "a missing  stays empty"},
        {"%1 is %1", {"k"}, "k is k"},
    };
    for (const auto& c : cases) {
        const rebound::Message m = rebound::coded("code", c.args, c.pattern);
        EXPECT_EQ(m.english, c.english) << c.pattern;
        EXPECT_EQ(m.code, "code");
        EXPECT_EQ(m.args, c.args);
    }
}

TEST(TextCodec, GbkRoundTrip) {
    const std::string gbk = "\xB2\xE2\xC7\xBF\xC7\xFA\xCF\xDF";  // 测强曲线
    EXPECT_EQ(ansi_to_utf8(gbk), "\xE6\xB5\x8B\xE5\xBC\xBA\xE6\x9B\xB2\xE7\xBA\xBF");
    EXPECT_EQ(utf8_to_ansi(ansi_to_utf8(gbk)), gbk);
    EXPECT_EQ(ansi_to_utf8("plain ASCII"), "plain ASCII");
    EXPECT_EQ(ansi_to_utf8(""), "");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
    // 0x81 opens a two-byte character, but a space cannot follow it.
    const std::string utf8 = ansi_to_utf8(std::string("A\x81 Z", 4));
    EXPECT_EQ(utf8.substr(0, 1), "A");
    EXPECT_NE(utf8.find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
}

TEST(TextCodec, TheFallbackIsToldOnce) {
    std::vector<std::string> notices;
    set_conversion_notice([&notices](const std::string& notice) { notices.push_back(notice); });
    EXPECT_EQ(ansi_to_utf8("\xB2\xE2\xCA\xD4"), "\xE6\xB5\x8B\xE8\xAF\x95");  // 测试: nothing to tell
    EXPECT_TRUE(notices.empty());
    ansi_to_utf8(std::string("A\x81 Z", 4));
    ansi_to_utf8(std::string("\xFF\xFF", 2));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("GBK"), std::string::npos) << notices[0];
    set_conversion_notice({});
}

class DatesTest : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    const FixedClock clock_{Date{2026, 12, 10}};
};

TEST_F(DatesTest, FormatAndParseRoundTripInSeveralLocales) {
    const Date d{2026, 3, 7};
    for (const QLocale& loc :
         {QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::English, QLocale::UnitedStates),
          QLocale(QLocale::German, QLocale::Germany), QLocale::c()}) {
        QLocale::setDefault(loc);
        const std::string text = format_date(d);
        SCOPED_TRACE(loc.name().toStdString() + ": " + text);
        const auto back = parse_date(text, clock_);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, d);
    }
}

TEST_F(DatesTest, EveryCommonFormReadsToTheSameDateOnEveryDesktop) {
    // The texts desktops of several languages write for 11 December 2026,
    // read on an English, a Chinese, a German and a C desktop.
    const char* const texts[] = {
        "2026-12-11",                                  // ISO
        "2026/12/11",                                  // Chinese short format
        "2026.12.11",
        "2026\xc4\xea" "12\xd4\xc2" "11\xc8\xd5",  // 2026年12月11日, in GBK
        "11 Dec 2026",                                 // C locale short format
        "11 December 2026",
        "Dec 11, 2026",
        "Friday, 11 December 2026",
        "11.12.26",                                    // German short format
        "11.12.2026",
        "  2026-12-11 ",
    };
    const QLocale desktops[] = {QLocale(QLocale::English, QLocale::UnitedKingdom),
                                QLocale(QLocale::Chinese, QLocale::China),
                                QLocale(QLocale::German, QLocale::Germany), QLocale::c()};
    for (const QLocale& desktop : desktops) {
        QLocale::setDefault(desktop);
        for (const char* text : texts) {
            SCOPED_TRACE(desktop.name().toStdString() + ": " + text);
            const auto d = parse_date(text, clock_);
            ASSERT_TRUE(d.has_value());
            EXPECT_EQ(*d, (Date{2026, 12, 11}));
        }
    }
}

TEST_F(DatesTest, LocaleDecidesOnlyWhatIsAmbiguous) {
    struct Case {
        QLocale desktop;
        const char* text;
        std::optional<Date> date;
    };
    const Case cases[] = {
        // Slashes with the year last: only as the desktop itself writes them.
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/11/26", Date{2026, 12, 11}},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), "11/12/2026", Date{2026, 12, 11}},
        {QLocale(QLocale::Chinese, QLocale::China), "11/12/2026", std::nullopt},
        // Dots: day first, month first where the desktop writes the month first.
        {QLocale(QLocale::English, QLocale::UnitedStates), "12.11.26", Date{2026, 12, 11}},
        {QLocale(QLocale::German, QLocale::Germany), "12.11.26", Date{2026, 11, 12}},
        // Two-digit years stay within 80 years before and 20 after today.
        {QLocale(QLocale::German, QLocale::Germany), "1.2.46", Date{2046, 2, 1}},
        {QLocale(QLocale::German, QLocale::Germany), "1.2.47", Date{1947, 2, 1}},
        {QLocale(QLocale::Chinese, QLocale::China), "1.2.47", Date{1947, 2, 1}},
        // The desktop's long format, weekday included.
        {QLocale(QLocale::Chinese, QLocale::China), "2026\xc4\xea" "12\xd4\xc2" "11\xc8\xd5\xd0\xc7\xc6\xda\xce\xe5",
         Date{2026, 12, 11}},
        // No such day, no date, mixed separators.
        {QLocale(QLocale::Chinese, QLocale::China), "2026-02-30", std::nullopt},
        {QLocale(QLocale::Chinese, QLocale::China), "31.31.31", std::nullopt},
        {QLocale(QLocale::Chinese, QLocale::China), "not a date", std::nullopt},
        {QLocale(QLocale::Chinese, QLocale::China), "", std::nullopt},
        {QLocale::c(), "2026-12/11", std::nullopt},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(c.desktop);
        SCOPED_TRACE(c.desktop.name().toStdString() + ": " + c.text);
        EXPECT_EQ(parse_date(c.text, clock_), c.date);
    }
}

TEST_F(DatesTest, ReportsPrintOneFormAndKeepWhatTheyCannotRead) {
    for (const QLocale& desktop : {QLocale(QLocale::Chinese, QLocale::China), QLocale::c()}) {
        QLocale::setDefault(desktop);
        EXPECT_EQ(report_date_text("11 Dec 2026", clock_), "2026-12-11");
        EXPECT_EQ(report_date_text("2026/12/11", clock_), "2026-12-11");
        EXPECT_EQ(report_date_text("soon", clock_), "soon");
    }
}

TEST_F(DatesTest, FixedTodayDrivesTodayText) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    EXPECT_EQ(today_text(clock_), format_date(Date{2026, 12, 10}));
    EXPECT_EQ(today_text(clock_), "2026/12/10");
}

TEST_F(DatesTest, CreationDateOfMissingFileIsToday) {
    const FixedClock clock(Date{2001, 2, 3});
    EXPECT_EQ(file_creation_date("/nonexistent/file.cmp", clock), format_date(Date{2001, 2, 3}));
}

#ifdef _WIN32
// Windows only: creation times, file attributes and the replace-in-place
// semantics of saving are Windows notions.

namespace fs = std::filesystem;

// True under Wine, which runs these tests on the build machine. Wine keeps
// files on a Linux file system: a creation time set with SetFileTime is not
// stored there, and a failed ReplaceFileW leaves its own temporary file.
bool running_under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
constexpr const char* kWineHasNoCreationTime =
    "Wine stores no creation time of its own on a Linux file system; checked on Windows only";

class WindowsFiles : public DatesTest {
protected:
    void SetUp() override {
        dir_ = test::fresh_test_folder(u8"rebound 文件 😀 ");
        ASSERT_TRUE(fs::is_directory(dir_));
    }
    void TearDown() override {
        for (const auto& e : fs::directory_iterator(dir_)) {
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(dir_);
        DatesTest::TearDown();
    }

    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static bool save(const fs::path& path, const std::string& bytes,
                     const std::function<void()>& while_writing = {}) {
        return write_file_atomically(path, [&](ByteSink& sink) {
                   if (while_writing) while_writing();
                   return sink.write(bytes.data(), bytes.size());
               }).ok();
    }
    // Sets the creation and last-write times to local noon of the given days.
    static void set_times(const fs::path& path, Date created, Date written) {
        const auto to_file_time = [](Date d) {
            SYSTEMTIME local{};
            local.wYear = WORD(d.year);
            local.wMonth = WORD(d.month);
            local.wDay = WORD(d.day);
            local.wHour = 12;
            SYSTEMTIME utc{};
            EXPECT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
            FILETIME ft{};
            EXPECT_TRUE(SystemTimeToFileTime(&utc, &ft));
            return ft;
        };
        const FILETIME c = to_file_time(created), w = to_file_time(written);
        HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, &c, nullptr, &w));
        CloseHandle(h);
    }
    // The names in the folder: a staging file left behind shows here.
    std::vector<std::wstring> entries() const {
        std::vector<std::wstring> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().wstring());
        return out;
    }

    fs::path dir_;
};

TEST_F(WindowsFiles, TheAnsiCodePageIsTheChineseOne) {
    // The tests run as on a Chinese Windows; GbkRoundTrip above relies on it.
    EXPECT_EQ(GetACP(), 936u);
}

TEST_F(WindowsFiles, CreationDateIsTheFileSystemsCreationTimeNotTheLastWrite) {
    if (running_under_wine()) GTEST_SKIP() << kWineHasNoCreationTime;
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const fs::path device = dir_ / fs::path(u8"构件 😀.cmp");
    write(device, "record");
    set_times(device, Date{2019, 5, 20}, Date{2021, 1, 2});
    EXPECT_EQ(file_creation_date(device, test::fixed_clock()), format_date(Date{2019, 5, 20}));
    EXPECT_EQ(file_creation_date(device, test::fixed_clock()), "2019/5/20");
}

TEST_F(WindowsFiles, StagingFileIsHiddenAndTheSavedFileIsNot) {
    const fs::path target = dir_ / fs::path(u8"工程 😀.prj");
    DWORD staging_attributes = INVALID_FILE_ATTRIBUTES;
    ASSERT_TRUE(save(target, "new", [&] {
        // The staging file: ".~", the name's digits, a unique suffix.
        const std::wstring stem = hidden_name_stem(save_destination(target)) + L".";
        for (const auto& e : fs::directory_iterator(dir_)) {
            const std::wstring name = e.path().filename().wstring();
            if (name.size() == stem.size() + 6 && name.starts_with(stem)) {
                staging_attributes = GetFileAttributesW(e.path().c_str());
            }
        }
    }));
    ASSERT_NE(staging_attributes, INVALID_FILE_ATTRIBUTES) << "no staging file while writing";
    EXPECT_TRUE(staging_attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(read(target), "new");
    EXPECT_FALSE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(entries(), std::vector<std::wstring>{target.filename().wstring()});
}

TEST_F(WindowsFiles, ReplacingAFileKeepsItsCreationTimeAndAttributes) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const fs::path target = dir_ / fs::path(u8"工程.prj");
    write(target, "old");
    set_times(target, Date{2019, 5, 20}, Date{2019, 5, 21});
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(save(target, "new content"));
    EXPECT_EQ(read(target), "new content");
    if (!running_under_wine()) {
        EXPECT_EQ(file_creation_date(target, test::fixed_clock()), "2019/5/20") << kWineHasNoCreationTime;
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(entries(), std::vector<std::wstring>{target.filename().wstring()});
}

TEST_F(WindowsFiles, SaveOverAReadOnlyFileFailsAndKeepsIt) {
    const fs::path target = dir_ / fs::path(u8"只读 😀.prj");
    write(target, "old content");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const Result<void> saved =
        write_file_atomically(target, [](ByteSink& sink) { return sink.write("new", 3); });
    ASSERT_FALSE(saved);
    EXPECT_FALSE(saved.error().message.empty());
    EXPECT_EQ(read(target), "old content");
    EXPECT_TRUE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(entries(), std::vector<std::wstring>{target.filename().wstring()});  // no staging file left
}

TEST_F(WindowsFiles, SaveOverAFileHeldOpenByAnotherProgramFailsAndKeepsIt) {
    const fs::path target = dir_ / fs::path(u8"打开.prj");
    write(target, "old content");
    // Another program holding the file open without sharing delete access,
    // as an editor might.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(save(target, "new"));
    CloseHandle(held);
    EXPECT_EQ(read(target), "old content");
    std::vector<std::wstring> left = entries();
    if (running_under_wine()) {
        // Wine's ReplaceFileW leaves its own "rf*.tmp" behind when it fails.
        std::erase_if(left, [](const std::wstring& n) { return n.starts_with(L"rf") && n.ends_with(L".tmp"); });
    }
    EXPECT_EQ(left, std::vector<std::wstring>{target.filename().wstring()});  // no staging file left
}

// Opens `path` the way another program that only wants to read it would:
// sharing everything. The handle, or INVALID_HANDLE_VALUE with the reason in
// GetLastError.
HANDLE open_as_another_program(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The lock is a hidden file held open without sharing: while this program
// holds it nobody can open it, and another program holding it (opened as
// every copy of this program opens it) keeps a save out until it lets go.
// Closing the handle removes the file; one left behind that nobody holds
// stops nobody.
TEST_F(WindowsFiles, TheLockIsAHandleNobodyElseCanOpenAndOnlyItsHolderKeeps) {
    const fs::path target = dir_ / fs::path(u8"工程 😀.prj");
    write(target, "old");
    fs::path lock_file;
    {
        Result<FileLock> lock = FileLock::acquire(target);
        ASSERT_TRUE(lock) << lock.error().message;
        lock_file = lock->lock_file();
        EXPECT_EQ(lock_file.parent_path(), dir_);
        EXPECT_TRUE(GetFileAttributesW(lock_file.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(open_as_another_program(lock_file), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
        ASSERT_TRUE(save(target, "by the holder"));  // without waiting for itself
    }
    EXPECT_EQ(entries(), std::vector<std::wstring>{target.filename().wstring()});

    HANDLE other = CreateFileW(lock_file.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const auto start = std::chrono::steady_clock::now();
    const Result<FileLock> second = FileLock::acquire(target, std::chrono::milliseconds(300));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().kind, FileError::Kind::Busy);
    const Result<void> saved =
        write_file_atomically(target, [](ByteSink& sink) { return sink.write("lost?", 5); });
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, FileError::Kind::Busy);
    EXPECT_EQ(read(target), "by the holder");
    CloseHandle(other);
    EXPECT_FALSE(fs::exists(lock_file));

    write(lock_file, "");  // left by anybody, held by nobody
    ASSERT_TRUE(SetFileAttributesW(lock_file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const auto again = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(target, "new"));
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::seconds(2));
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(entries(), std::vector<std::wstring>{target.filename().wstring()});
}

// The staging file is created new under a name nobody has and held without
// sharing while it is written: no other program can open it. Hidden files
// that saves of the same target left when they were killed go; another
// target's and the user's own files of a like name stay.
TEST_F(WindowsFiles, NobodyElseCanOpenTheStagingFileAndLeftoversOfKilledSavesGo) {
    const fs::path target = dir_ / fs::path(u8"工程 😀.prj");
    const fs::path other = dir_ / fs::path(u8"其他.prj");
    const std::wstring stem = hidden_name_stem(save_destination(target)) + L".";
    const std::wstring other_stem = hidden_name_stem(save_destination(other)) + L".";
    const std::wstring leftover = stem + L"k1lled";
    for (const std::wstring& name : {leftover, other_stem + L"k1lled", stem + L"users"}) {
        write(dir_ / name, "left");
        ASSERT_TRUE(SetFileAttributesW((dir_ / name).c_str(), FILE_ATTRIBUTE_HIDDEN));
    }
    int staging_files = 0;
    DWORD opened_by_another = ERROR_SUCCESS;
    ASSERT_TRUE(save(target, "new", [&] {
        for (const auto& e : fs::directory_iterator(dir_)) {
            const std::wstring name = e.path().filename().wstring();
            if (name.size() != stem.size() + 6 || !name.starts_with(stem)) continue;
            ++staging_files;
            const HANDLE h = open_as_another_program(e.path());
            opened_by_another = h == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }));
    EXPECT_EQ(staging_files, 1) << "the leftover is still there, or no staging file";
    EXPECT_EQ(opened_by_another, DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(read(target), "new");
    std::vector<std::wstring> left = entries();
    std::sort(left.begin(), left.end());
    std::vector<std::wstring> expected{target.filename().wstring(), other_stem + L"k1lled", stem + L"users"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}
#endif

}  // namespace
}  // namespace rebound::platform
