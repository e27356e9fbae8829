#include "app/Controls.h"

#include <algorithm>

namespace varnolt {

void TLabel::SetCaption(std::u16string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void TLabel::SetFontStyle(TFontStyles style) {
  if (style == fontStyle_) return;
  fontStyle_ = style;
  Changed();
}

void TLabel::SetFontColor(TColor color) {
  if (color == fontColor_) return;
  fontColor_ = color;
  Changed();
}

void TEdit::SetText(std::u16string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Changed();
}

void TProgressBar::SetMax(std::int32_t max) {
  max_ = max;
  if (position_ > max_) position_ = max_;
  Changed();
}

void TProgressBar::SetPosition(std::int32_t position) {
  position_ = position < 0 ? 0 : (position > max_ ? max_ : position);
  Changed();
}

void TProgressBar::StepIt() {
  std::int64_t next = static_cast<std::int64_t>(position_) + step_;
  if (next > max_) next = max_ > 0 ? next % max_ : 0;
  position_ = next < 0 ? 0 : static_cast<std::int32_t>(next);
  Changed();
}

void TProgressBar::StepBy(std::int32_t delta) {
  SetPosition(static_cast<std::int32_t>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(position_) + delta, 0, max_)));
}

const std::u16string& TStatusBar::PanelText(int index) const {
  FreezePanel(index);
  return Panel(index).text;
}

void TStatusBar::SetPanelText(int index, std::u16string text) {
  TPanel& panel = Panel(index);
  if (!panel.source && panel.text == text) return;
  panel = TPanel{std::move(text), {}};
  Changed();
}

void TStatusBar::SetPanelSource(int index, TextSource source) {
  Panel(index) = TPanel{{}, std::move(source)};
  Changed();
}

void TStatusBar::FreezePanel(int index) const {
  TPanel& panel = Panel(index);
  if (!panel.source) return;
  panel.text = panel.source();
  panel.source = nullptr;
}

}  // namespace varnolt
