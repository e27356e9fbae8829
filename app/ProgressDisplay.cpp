#include "app/ProgressDisplay.h"

#include <string>

namespace varnolt {

std::int32_t PercentOf(std::int32_t position, std::int32_t maximum) {
  if (maximum <= 0) return 0;
  const std::int64_t scaled = static_cast<std::int64_t>(position) * 100;
  std::int64_t quotient = scaled / maximum;
  const std::int64_t twiceRemainder = (scaled % maximum) * 2;
  if (twiceRemainder > maximum || (twiceRemainder == maximum && quotient % 2 != 0)) ++quotient;
  return static_cast<std::int32_t>(quotient);
}

TProgressDisplay::TProgressDisplay() = default;

void TProgressDisplay::Reset() {
  percentLabel.SetCaption(u"");
  bar.SetStep(0);
  bar.SetPosition(0);
}

void TProgressDisplay::Start(std::int32_t maximum) {
  bar.SetMax(maximum);
  bar.SetStep(1);
}

void TProgressDisplay::Step() {
  bar.StepIt();
  percentLabel.SetCaption(u"");
  std::string percent = std::to_string(PercentOf(bar.Position(), bar.Max())) + "%";
  percentLabel.SetCaption(std::u16string(percent.begin(), percent.end()));
}

void TProgressDisplay::End(std::int32_t delta) {
  bar.StepBy(delta);
  percentLabel.SetCaption(u"100%");
}

}  // namespace varnolt
