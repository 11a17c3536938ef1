#include <gtest/gtest.h>

#include <QLocale>

#include "platform/dates.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace rebound::platform {
namespace {

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

TEST_F(DatesTest, LenientParseAcceptsYearFirstForms) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_FALSE(parse_date("2026/3/7", clock_).has_value());
    for (const char* text : {"2026/3/7", "2026-03-07", "2026.3.7"}) {
        const auto d = parse_date_lenient(text, clock_);
        ASSERT_TRUE(d.has_value()) << text;
        EXPECT_EQ(*d, (Date{2026, 3, 7}));
    }
    EXPECT_FALSE(parse_date_lenient("not a date", clock_).has_value());
    EXPECT_FALSE(parse_date_lenient("", clock_).has_value());
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

}  // namespace
}  // namespace rebound::platform
