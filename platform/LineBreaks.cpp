#include "platform/LineBreaks.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include <unicode/ubrk.h>

#include "platform/Exception.h"

namespace varnolt {

namespace {

bool IsAsciiLetterOrDigit(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// An ASCII character after which spaces still bind what follows: opening brackets.
bool IsAsciiAndBreaksAfterSpaces(char16_t c) { return c < 0x80 && c != u'(' && c != u'[' && c != u'{'; }

}  // namespace

void TLineBreakOpportunities::Closer::operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }

TLineBreakOpportunities::TLineBreakOpportunities() {
  UErrorCode status = U_ZERO_ERROR;
  iterator_.reset(ubrk_open(UBRK_LINE, "", nullptr, 0, &status));
  if (U_FAILURE(status) || !iterator_) throw Exception(std::string("No line break rules: ") + u_errorName(status));
}

TLineBreakOpportunities::~TLineBreakOpportunities() = default;

void TLineBreakOpportunities::Reset(std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  // The iterator reads the caller's code units in place; nothing is copied.
  // Past its 32-bit reach a text has no opportunities, so lines break at code units there.
  length_ = std::min<std::size_t>(text.size(), INT32_MAX);
  ubrk_setText(iterator_.get(), text.data(), static_cast<int32_t>(length_), &status);
  if (U_FAILURE(status)) length_ = 0;
  text_ = text.substr(0, length_);
}

// Inside a run of ASCII letters and digits there is no opportunity, and one
// starts it after spaces that follow any ASCII character but an opening
// bracket. That settles most line ends of prose without running the rules.
std::optional<std::size_t> TLineBreakOpportunities::PlainOpportunity(std::size_t position) const {
  std::size_t wordStart = position + 1;
  while (wordStart > 0 && IsAsciiLetterOrDigit(text_[wordStart - 1])) --wordStart;
  if (wordStart > position) return std::nullopt;
  std::size_t spacesStart = wordStart;
  while (spacesStart > 0 && text_[spacesStart - 1] == u' ') --spacesStart;
  if (spacesStart == wordStart || spacesStart == 0 || !IsAsciiAndBreaksAfterSpaces(text_[spacesStart - 1])) {
    return std::nullopt;
  }
  return wordStart;
}

std::size_t TLineBreakOpportunities::LastAtOrBefore(std::size_t position) {
  if (position >= length_) return 0;
  if (auto plain = PlainOpportunity(position)) return *plain;
  const int32_t before = ubrk_preceding(iterator_.get(), static_cast<int32_t>(position + 1));
  return before == UBRK_DONE ? 0 : static_cast<std::size_t>(before);
}

}  // namespace varnolt
