// Numbers as cells show them under the format codes workbooks carry.
#include "richtext/sheet/NumberFormat.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

TEST(NumberFormatTest, NumbersFollowTheirFormatCode) {
  const struct {
    double value;
    const char* code;
    const char* shown;
  } cases[] = {
      {1234, "General", "1234"},
      {2.5, "General", "2.5"},
      {1.0 / 3, "General", "0.333333333333333"},
      {-7, "General", "-7"},
      {1e20, "General", "1E+20"},
      {1234567.891, "#,##0.00", "1,234,567.89"},
      {-42.5, "#,##0.00", "-42.50"},
      {17.6, "0", "18"},
      {42, "00000", "00042"},
      {0.25, "#.##", ".25"},
      {0.1234, "0.00%", "12.34%"},
      {0.5, "0%", "50%"},
      {1234.5, "#,##0.00\\ [$\xE2\x82\xAC-407]", "1,234.50 \xE2\x82\xAC"},
      {-99.95, "[$$-409]#,##0.00;\\-[$$-409]#,##0.00", "-$99.95"},
      {1500, "\"$\"#,##0.00_);(\"$\"#,##0.00)", "$1,500.00 "},
      {-1500, "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)", "($1,500.00)"},
      {0, "0.00;-0.00;\"zero\"", "zero"},
      {72.25, "0.0\" kg\"", "72.3 kg"},
      {1.005, "0.00", "1.01"},
      {9.995, "0.00", "10.00"},
      {123456, "0.00E+00", "1.23E+05"},
      {0.000123, "0.00E+00", "1.23E-04"},
      {0.75, "# ?/?", " 3/4"},
      {2.5, "# ?/?", "2 1/2"},
      {0.3333, "# ?\?/?\?", "  1/3 "},
      {1234567, "#,##0,", "1,235"},
      {12, "@", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatCellNumber(c.value, c.code), c.shown) << c.value << " " << c.code;
}

TEST(NumberFormatTest, DatesAndTimesCountFromTheWorkbooksDayZero) {
  const struct {
    double serial;
    const char* code;
    bool date1904;
    const char* shown;
  } cases[] = {
      {45366, "yyyy\\-mm\\-dd", false, "2024-03-15"},
      {36525, "dd\\.mm\\.yyyy", false, "31.12.1999"},
      {46367, "dddd, \"\"d\\ mmmm\\ yyyy", false, "Friday, 11 December 2026"},
      {36585, "d\\-mmm\\-yy", false, "29-Feb-00"},
      {45477.770833333336, "yyyy\\-mm\\-dd\\ hh:mm", false, "2024-07-04 18:30"},
      {61, "yyyy\\-mm\\-dd", false, "1900-03-01"},
      {59, "yyyy\\-mm\\-dd", false, "1900-02-28"},
      {1, "yyyy\\-mm\\-dd", false, "1900-01-01"},
      {0, "yyyy\\-mm\\-dd", true, "1904-01-01"},
      {0.5452430555555556, "hh:mm:ss", false, "13:05:09"},
      {0.8798611111111111, "h:mm\\ AM/PM", false, "9:07 PM"},
      {0.0, "h:mm AM/PM", false, "12:00 AM"},
      {1.1458333333333333, "[h]:mm", false, "27:30"},
      {0.000011574, "mm:ss.0", false, "00:01.0"},
      {45366, "mmm mmmm mmmmm ddd", false, "Mar March M Fri"},
      {45366, "m/d/yy", false, "3/15/24"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatCellNumber(c.serial, c.code, c.date1904), c.shown) << c.serial << " " << c.code;
  }
}

TEST(NumberFormatTest, BuiltInNumbersAndDateDetection) {
  EXPECT_EQ(BuiltInNumberFormat(0), "General");
  EXPECT_EQ(BuiltInNumberFormat(10), "0.00%");
  EXPECT_EQ(BuiltInNumberFormat(99), "");
  EXPECT_TRUE(IsDateFormat(BuiltInNumberFormat(14)));
  EXPECT_TRUE(IsDateFormat("[h]:mm"));
  EXPECT_FALSE(IsDateFormat("\"days\" 0"));
  EXPECT_FALSE(IsDateFormat("#,##0.00\\ [$\xE2\x82\xAC-407]"));
}

TEST(NumberFormatTest, BrokenCodesStillShowSomething) {
  for (const char* code : {"", "[", "\"unclosed", "0.00E+", ";;;", "[$", "0/", "#,##0.00;[Red", "\\"}) {
    EXPECT_NO_THROW(FormatCellNumber(-12.5, code)) << code;
  }
  EXPECT_EQ(FormatCellNumber(1e300, "0.00E+00"), "1.00E+300");
  EXPECT_EQ(FormatCellNumber(-5, "yyyy-mm-dd"), "-5");
}

}  // namespace
}  // namespace varnolt
