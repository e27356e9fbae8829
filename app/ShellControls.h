#pragma once
// The window's own controls beside the labels: the window frame, the tab
// control, the pictures and the pop-up menus. Plain objects a view follows.
#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/Controls.h"

namespace varnolt {

struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// Position, size, state and visibility of the main window.
class TWindowFrame : public TObservable {
 public:
  TPoint Origin() const { return origin_; }
  void SetOrigin(TPoint origin);
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);
  TWindowState State() const { return state_; }
  void SetState(TWindowState state);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

 private:
  TPoint origin_{257, 113};
  int width_ = 951;
  int height_ = 650;
  TWindowState state_ = TWindowState::wsNormal;
  bool visible_ = true;
};

class TPageControl : public TObservable {
 public:
  static constexpr int kTabCount = 3;  // "Design", "Properties", "Options"
  int ActivePageIndex() const { return active_; }
  // Checked: an index outside the tabs changes nothing.
  void SetActivePageIndex(int index);

 private:
  int active_ = 0;
};

// A picture control: the file it shows, empty until loaded.
class TImage : public TObservable {
 public:
  const std::filesystem::path& FileName() const { return fileName_; }
  // The toolkit's load error (EFOpenError) for a file that cannot be read.
  void LoadFromFile(const std::filesystem::path& fileName);

 private:
  std::filesystem::path fileName_;
};

// A pop-up menu's request to appear at a screen point.
class TPopupMenu : public TObservable {
 public:
  std::optional<TPoint> LastPopup() const { return lastPopup_; }
  void Popup(TPoint at);

 private:
  std::optional<TPoint> lastPopup_;
};

}  // namespace varnolt
