#pragma once
// The text of a page as the tests compare it: one string per paragraph.
#include <string>
#include <vector>

#include "richtext/editor/RVEdit.h"

namespace varnolt::test {

inline std::vector<std::u16string> Paragraphs(const TRichDocEdit& editor) {
  std::vector<std::u16string> paragraphs;
  for (int i = 0; i < editor.CountItems(); ++i) {
    if (i == 0 || editor.StartsNewLine(i)) paragraphs.emplace_back();
    paragraphs.back() += editor.ItemTextAt(i);
  }
  return paragraphs;
}

}  // namespace varnolt::test
