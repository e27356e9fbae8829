#include "platform/LineBreaks.h"

#include <gtest/gtest.h>
#include <unicode/ubrk.h>

#include <memory>
#include <string>

namespace varnolt {
namespace {

// The last boundary at or before each position, straight from the rules.
std::size_t RulesLastAtOrBefore(std::u16string_view text, std::size_t position) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UBreakIterator, decltype(&ubrk_close)> iterator(
      ubrk_open(UBRK_LINE, "", text.data(), static_cast<int32_t>(text.size()), &status), &ubrk_close);
  EXPECT_TRUE(U_SUCCESS(status));
  const int32_t before = ubrk_preceding(iterator.get(), static_cast<int32_t>(position + 1));
  return before == UBRK_DONE ? 0 : static_cast<std::size_t>(before);
}

TEST(LineBreakOpportunitiesTest, EveryPositionAgreesWithTheUnicodeRules) {
  // Plain prose takes a short cut; brackets, quotes, punctuation, hyphens,
  // numbers and other scripts must come out as the rules say all the same.
  const std::u16string texts[] = {
      u"The report page of a text frame flows every line into its bounds.",
      u"Leading   spaces and  double spaces, commas; colons: (brackets) [more] {braces} ( spaced open",
      u"well-known e-mail and/or 3.14 12,500 $12 50% x=y \"quoted words\" 'single' end!",
      u"caf\u00E9 na\u00EFve \u20AC12 \u00A7 1 \u2014 em\u2014dash \u00ABguillemets\u00BB \u00A0nbsp glue",
      u"\u4E2D\u6587\u6D4B\u8BD5 mixed \u65E5\u672C\u8A9E\u3002text",
      u"   starts with spaces",
      u"line\r\nbreaks\nand\rreturns",
  };
  TLineBreakOpportunities opportunities;
  for (const std::u16string& text : texts) {
    opportunities.Reset(text);
    for (std::size_t position = 0; position < text.size(); ++position) {
      EXPECT_EQ(opportunities.LastAtOrBefore(position), RulesLastAtOrBefore(text, position))
          << "position " << position << " of text " << std::string(text.begin(), text.end());
    }
  }
}

TEST(LineBreakOpportunitiesTest, AnEmptyTextOrAPositionPastTheEndHasNone) {
  TLineBreakOpportunities opportunities;
  opportunities.Reset(u"");
  EXPECT_EQ(opportunities.LastAtOrBefore(0), 0u);
  opportunities.Reset(u"two words");
  EXPECT_EQ(opportunities.LastAtOrBefore(8), 4u);
  EXPECT_EQ(opportunities.LastAtOrBefore(9), 0u);
}

}  // namespace
}  // namespace varnolt
