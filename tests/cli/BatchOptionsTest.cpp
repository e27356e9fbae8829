#include "cli/BatchOptions.h"

#include <gtest/gtest.h>

namespace varnolt {
namespace {

TEST(BatchOptionsTest, ParsesInputsOutputAndEveryOption) {
  auto parsed = ParseCommandLine({"a.txt", "b.rtf", "-o", "out.pdf", "--title", "T\xC3\xA9", "--subject", "S",
                                  "--author", "A", "--keywords", "K", "--page-size", "595,842", "--margins",
                                  "36,18", "-q"});
  ASSERT_TRUE(std::holds_alternative<TParsedCommandLine>(parsed));
  const auto& options = std::get<TParsedCommandLine>(parsed).options;
  EXPECT_EQ(options.inputs, (std::vector<std::string>{"a.txt", "b.rtf"}));
  EXPECT_EQ(options.output, "out.pdf");
  EXPECT_EQ(options.title, u"T\u00E9");
  EXPECT_EQ(options.subject, u"S");
  EXPECT_EQ(options.author, u"A");
  EXPECT_EQ(options.keywords, u"K");
  ASSERT_TRUE(options.pageSize && options.margins);
  EXPECT_EQ(options.pageSize->width, 595);
  EXPECT_EQ(options.pageSize->height, 842);
  EXPECT_EQ(options.margins->left, 36);
  EXPECT_EQ(options.margins->top, 18);
  EXPECT_TRUE(options.quiet);
}

TEST(BatchOptionsTest, RequestsWithoutConversion) {
  struct Case {
    std::vector<std::string> arguments;
    TBatchRequest request;
  };
  const Case cases[] = {{{}, TBatchRequest::kWindow},
                        {{"--help"}, TBatchRequest::kHelp},
                        {{"a.txt", "-h"}, TBatchRequest::kHelp},
                        {{"--version"}, TBatchRequest::kVersion}};
  for (const auto& c : cases) {
    auto parsed = ParseCommandLine(c.arguments);
    ASSERT_TRUE(std::holds_alternative<TParsedCommandLine>(parsed));
    EXPECT_EQ(std::get<TParsedCommandLine>(parsed).request, c.request);
  }
}

TEST(BatchOptionsTest, WindowTakesFilesAndAddresses) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> inputs;
  };
  const Case cases[] = {
      {{"--window"}, {}},
      {{"--window", "a.txt", "http://127.0.0.1/x", "b c.rtf"}, {"a.txt", "http://127.0.0.1/x", "b c.rtf"}},
      {{"--window", "--", "-dash.txt", "--"}, {"-dash.txt", "--"}},
  };
  for (const auto& c : cases) {
    auto parsed = ParseCommandLine(c.arguments);
    ASSERT_TRUE(std::holds_alternative<TParsedCommandLine>(parsed));
    EXPECT_EQ(std::get<TParsedCommandLine>(parsed).request, TBatchRequest::kWindow);
    EXPECT_EQ(std::get<TParsedCommandLine>(parsed).options.inputs, c.inputs);
  }
}

TEST(BatchOptionsTest, UsageErrorsAreOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {"a.txt"},
      {"-o", "out.pdf"},
      {"a.txt", "-o"},
      {"a.txt", "-o", "out.pdf", "--page-size", "595"},
      {"a.txt", "-o", "out.pdf", "--margins", "-1,2"},
      {"a.txt", "-o", "out.pdf", "--page-size", "99999999999,1"},
      {"a.txt", "-o", "out.pdf", "--frobnicate"},
      {"--window", "a.txt", "-o", "out.pdf"},
  };
  for (const auto& arguments : cases) {
    auto parsed = ParseCommandLine(arguments);
    ASSERT_TRUE(std::holds_alternative<TUsageError>(parsed)) << arguments.back();
    const auto& message = std::get<TUsageError>(parsed).message;
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace varnolt
