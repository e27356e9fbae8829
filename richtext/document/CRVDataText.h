#pragma once
// Plain text coming in: a UTF-16 text cut into the items that inserting it
// at the caret adds (paragraph, line and page breaks, tab items).
#include <cstdint>
#include <string_view>

#include "richtext/document/RVItem.h"

namespace varnolt {

struct TRVTextCutContext {
  const TRVStyle* Style = nullptr;
  std::int32_t TextStyleNo = 0;
  std::int32_t ParaNo = 0;
  bool AcceptsPageBreaks = true;  // else FF is a plain paragraph break
};

// The first item continues the caret's line; every later one carries the
// break before it in its flags. A leading byte-order mark is skipped (a
// swapped one swaps the rest). Empty for an empty text.
TRVItemList CutTextIntoItems(std::u16string_view text, const TRVTextCutContext& context);

}  // namespace varnolt
