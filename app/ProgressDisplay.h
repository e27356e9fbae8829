#pragma once
// The status bar's progress: the "Progress" label, the bar and the
// percentage label, reset and stepped the same way by every import and export.
#include <cstdint>

#include "app/Controls.h"

namespace varnolt {

// position / maximum * 100, to the nearest whole number, halves to even.
std::int32_t PercentOf(std::int32_t position, std::int32_t maximum);

class TProgressDisplay {
 public:
  TProgressDisplay();

  // statusbarinit: empty percentage, step and position 0.
  void Reset();
  void Start(std::int32_t maximum);
  // One step of the bar with the percentage written after it.
  void Step();
  // The end of an export: the bar moved on by Delta, and "100%".
  void End(std::int32_t delta);
  void SetPercentText(std::u16string text) { percentLabel.SetCaption(std::move(text)); }

  TLabel progressLabel{u"Progress"};
  TProgressBar bar;
  TLabel percentLabel;
};

}  // namespace varnolt
