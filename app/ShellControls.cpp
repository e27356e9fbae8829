#include "app/ShellControls.h"

#include <fstream>

#include "platform/Exception.h"

namespace varnolt {

namespace {

class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace

void TWindowFrame::SetOrigin(TPoint origin) {
  if (origin == origin_) return;
  origin_ = origin;
  Changed();
}

void TWindowFrame::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Changed();
}

void TWindowFrame::SetState(TWindowState state) {
  if (state == state_) return;
  state_ = state;
  Changed();
}

void TWindowFrame::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void TPageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= kTabCount || index == active_) return;
  active_ = index;
  Changed();
}

void TImage::LoadFromFile(const std::filesystem::path& fileName) {
  if (!std::ifstream(fileName, std::ios::binary)) {
    throw EFOpenError("Cannot open file \"" + fileName.string() + "\". No such file or directory");
  }
  fileName_ = fileName;
  Changed();
}

void TPopupMenu::Popup(TPoint at) {
  lastPopup_ = at;
  Changed();
}

}  // namespace varnolt
