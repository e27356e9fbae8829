#pragma once
// The window model's controls: plain objects holding what a view draws
// (captions, font styles, colours, positions), each telling its observers
// when it changes so that a toolkit view can follow.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Color.h"
#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

// Observers are called after every change; they must not change the sender.
class TObservable {
 public:
  using Observer = std::function<void()>;
  void Subscribe(Observer observer) { observers_.push_back(std::move(observer)); }

 protected:
  void Changed() const {
    for (const auto& observer : observers_) observer();
  }

 private:
  std::vector<Observer> observers_;
};



class TLabel : public TObservable {
 public:
  TLabel() = default;
  explicit TLabel(std::u16string caption) : caption_(std::move(caption)) {}

  const std::u16string& Caption() const { return caption_; }
  void SetCaption(std::u16string caption);
  TFontStyles FontStyle() const { return fontStyle_; }
  void SetFontStyle(TFontStyles style);
  TColor FontColor() const { return fontColor_; }
  void SetFontColor(TColor color);
  std::int32_t Tag() const { return tag_; }
  void SetTag(std::int32_t tag) { tag_ = tag; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  // Where the view placed the label in its parent; the view sets it after
  // laying out, so observers are not told.
  int Left() const { return left_; }
  int Top() const { return top_; }
  void SetPosition(int left, int top) {
    left_ = left;
    top_ = top;
  }

 private:
  std::u16string caption_;
  TFontStyles fontStyle_;
  TColor fontColor_ = clBlack;
  std::int32_t tag_ = 0;
  std::string name_;
  int left_ = 0;
  int top_ = 0;
};

// A single-line edit or a memo: only its text matters to the model.
class TEdit : public TObservable {
 public:
  const std::u16string& Text() const { return text_; }
  void SetText(std::u16string text);

 private:
  std::u16string text_;
};

class TProgressBar : public TObservable {
 public:
  std::int32_t Max() const { return max_; }
  void SetMax(std::int32_t max);
  std::int32_t Step() const { return step_; }
  void SetStep(std::int32_t step) { step_ = step; }
  std::int32_t Position() const { return position_; }
  void SetPosition(std::int32_t position);
  // Passing the maximum starts the bar over from the beginning.
  void StepIt();
  // Moves the bar, stopping at either end.
  void StepBy(std::int32_t delta);

 private:
  std::int32_t max_ = 100;
  std::int32_t step_ = 10;
  std::int32_t position_ = 0;
};

class TStatusBar : public TObservable {
 public:
  static constexpr int kPanelCount = 2;
  using TextSource = std::function<std::u16string()>;

  // A sourced panel builds its text at the first read after the source was set.
  const std::u16string& PanelText(int index) const;
  void SetPanelText(int index, std::u16string text);
  // For text that may be large (the clipboard's): nothing is built while
  // nobody shows the panel, as in the batch mode.
  void SetPanelSource(int index, TextSource source);
  // Builds a sourced panel's text now; later changes of what the source
  // reads no longer show.
  void FreezePanel(int index) const;

 private:
  struct TPanel {
    std::u16string text;
    TextSource source;  // set until the text is built
  };
  TPanel& Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }

  mutable std::vector<TPanel> panels_ = std::vector<TPanel>(kPanelCount);
};

}  // namespace varnolt
