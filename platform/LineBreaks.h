#pragma once
// Where a text may be broken into lines, by the Unicode line breaking rules.
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

struct UBreakIterator;

namespace varnolt {

// A text's line-break opportunities, found on demand: the rules run only
// near the positions asked for, and not at all where the text there is
// plain ASCII words and spaces, so a text flowed into lines costs a look
// near each line end.
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
  std::optional<std::size_t> PlainOpportunity(std::size_t position) const;

  std::size_t length_ = 0;
  std::u16string_view text_;
};

}  // namespace varnolt
