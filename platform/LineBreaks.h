#pragma once
// Where a text may be broken into lines, by the Unicode line breaking rules.
#include <cstddef>
#include <memory>
#include <string_view>

struct UBreakIterator;

namespace varnolt {

// Walks a text's line-break opportunities forwards, once for the whole
// text: asking for positions that grow costs no more than one pass.
class TLineBreakOpportunities {
 public:
  TLineBreakOpportunities();
  ~TLineBreakOpportunities();
  TLineBreakOpportunities(const TLineBreakOpportunities&) = delete;
  TLineBreakOpportunities& operator=(const TLineBreakOpportunities&) = delete;

  // Starts over on text, which must stay alive and unchanged while it is asked.
  void Reset(std::u16string_view text);
  // The last opportunity at or before position (a line may start with the
  // code unit there); 0, the start of the text, when there is none.
  std::size_t LastAtOrBefore(std::size_t position);

 private:
  struct Closer {
    void operator()(UBreakIterator* iterator) const;
  };
  std::unique_ptr<UBreakIterator, Closer> iterator_;
  std::size_t last_ = 0;
  std::size_t next_ = 0;
};

}  // namespace varnolt
