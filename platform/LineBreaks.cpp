#include "platform/LineBreaks.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <unicode/ubrk.h>

#include "platform/Exception.h"

namespace varnolt {

namespace {

std::size_t PositionOr(int32_t boundary, std::size_t none) {
  return boundary == UBRK_DONE ? none : static_cast<std::size_t>(boundary);
}

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
  const auto length = static_cast<int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  ubrk_setText(iterator_.get(), text.data(), length, &status);
  last_ = 0;
  next_ = U_SUCCESS(status) ? PositionOr(ubrk_first(iterator_.get()), SIZE_MAX) : SIZE_MAX;
}

std::size_t TLineBreakOpportunities::LastAtOrBefore(std::size_t position) {
  if (position < last_) {
    // Asked backwards: one look from there, and the forward walk goes on from it.
    last_ = PositionOr(ubrk_preceding(iterator_.get(), static_cast<int32_t>(position + 1)), 0);
    next_ = PositionOr(ubrk_following(iterator_.get(), static_cast<int32_t>(last_)), SIZE_MAX);
    return last_;
  }
  while (next_ <= position) {
    last_ = next_;
    next_ = PositionOr(ubrk_next(iterator_.get()), SIZE_MAX);
  }
  return last_;
}

}  // namespace varnolt
