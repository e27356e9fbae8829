#include <gtest/gtest.h>

#include <regex>

#include "tests/support/PdfReaders.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

// The dates are the moment of the run; they keep their length, so nothing
// else moves.
std::string WithoutDates(const std::string& pdf) {
  return std::regex_replace(pdf, std::regex(R"(\(D:\d{14}\))"), "(D:00000000000000)");
}

TEST(ReportExampleTest, WritesTheSameBytesAsBefore) {
  test::ScratchDir dir;
  const auto out = dir / "report.pdf";
  auto result = test::RunCommand({VARNOLT_REPORT_EXAMPLE, out.string()});
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(result.output, "Wrote 3 pages to " + out.string() + "\n");
  EXPECT_TRUE(test::PassesQpdfCheck(out));
  const std::string expected = WithoutDates(test::ReadFileBytes(test::TestDataDir() / "pdf" / "report_example.pdf"));
  EXPECT_TRUE(WithoutDates(test::ReadFileBytes(out)) == expected) << "the report example's bytes changed";
}

}  // namespace
}  // namespace varnolt
