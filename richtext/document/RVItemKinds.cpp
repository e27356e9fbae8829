#include "richtext/document/RVItemKinds.h"

#include <algorithm>

#include "richtext/style/RVStyle.h"

namespace varnolt {

namespace {

template <typename T>
std::unique_ptr<T> CopyOf(const std::unique_ptr<T>& source) {
  return source ? std::make_unique<T>(*source) : nullptr;
}

std::unique_ptr<TGraphic> CopyOf(const std::unique_ptr<TGraphic>& source) {
  return source ? source->Clone() : nullptr;
}

}  // namespace

// --- horizontal line ---

std::unique_ptr<TCustomRVItemInfo> TRVBreakItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVBreakItemInfo(*this));
}

void TRVBreakItemInfo::WritePlainText(TRVTextOutput& out) const {
  int width = std::max(out.LineWidth(), 1);
  out.WriteAnsi(std::string(static_cast<std::size_t>(width), LineWidth < 2 ? '-' : '='));
}

// --- pictures ---

TRVGraphicItemInfo::TRVGraphicItemInfo(std::unique_ptr<TGraphic> image, TRVVAlign vAlign)
    : TRVRectItemInfo(ItemKindPicture), Image(std::move(image)) {
  VAlign = vAlign;
}

TRVGraphicItemInfo::TRVGraphicItemInfo(const TRVGraphicItemInfo& source)
    : TRVRectItemInfo(source),
      Image(CopyOf(source.Image)),
      ImageCopy(CopyOf(source.ImageCopy)),
      ImageWidth(source.ImageWidth),
      ImageHeight(source.ImageHeight),
      Alt(source.Alt),
      ImageFileName(source.ImageFileName),
      NoHTMLImageSize(source.NoHTMLImageSize),
      Interval(source.Interval),
      Resizable(source.Resizable),
      MinHeightOnPage(source.MinHeightOnPage),
      Transparent(source.Transparent),
      TransparentMode(source.TransparentMode),
      TransparentColor(source.TransparentColor) {}

bool TRVGraphicItemInfo::ImageIsBitmap() const { return Image && Image->ClassName() == "TBitmap"; }

std::unique_ptr<TCustomRVItemInfo> TRVGraphicItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVGraphicItemInfo(*this));
}

bool TRVGraphicItemInfo::GetIntProperty(std::int32_t number, std::int32_t& value) const {
  bool bitmap = ImageIsBitmap();
  switch (number) {
    case rvipWidth: value = ImageWidth; return true;
    case rvipHeight: value = ImageHeight; return true;
    case rvipTransparent:
      if (!bitmap) return false;
      value = Transparent ? 1 : 0;
      return true;
    case rvipTransparentMode:
      if (!bitmap) return false;
      value = TransparentMode;
      return true;
    case rvipTransparentColor:
      if (!bitmap) return false;
      value = static_cast<std::int32_t>(TransparentColor);
      return true;
    case rvipMinHeightOnPage: value = MinHeightOnPage; return true;
    case rvipResizable: value = Resizable ? 1 : 0; return true;
    case rvipNoHTMLImageSize: value = NoHTMLImageSize ? 1 : 0; return true;
    case rvipAnimationInterval: value = Interval; return true;
    default: return TRVRectItemInfo::GetIntProperty(number, value);
  }
}

bool TRVGraphicItemInfo::SetIntProperty(std::int32_t number, std::int32_t value) {
  bool bitmap = ImageIsBitmap();
  switch (number) {
    case rvipWidth: ImageWidth = value; return true;
    case rvipHeight: ImageHeight = value; return true;
    case rvipTransparent:
      if (!bitmap) return false;
      Transparent = value != 0;
      return true;
    case rvipTransparentMode:
      if (!bitmap) return false;
      TransparentMode = value;
      return true;
    case rvipTransparentColor:
      if (!bitmap) return false;
      TransparentColor = static_cast<TColor>(value);
      return true;
    case rvipMinHeightOnPage: MinHeightOnPage = value; return true;
    case rvipResizable: Resizable = value != 0; return true;
    case rvipNoHTMLImageSize: NoHTMLImageSize = value != 0; return true;
    case rvipAnimationInterval: Interval = value; return true;
    default: return TRVRectItemInfo::SetIntProperty(number, value);
  }
}

bool TRVGraphicItemInfo::GetStringProperty(std::int32_t number, std::u16string& value) const {
  switch (number) {
    case rvspAlt: value = Alt; return true;
    case rvspFileName: value = ImageFileName; return true;
    default: return TRVRectItemInfo::GetStringProperty(number, value);
  }
}

bool TRVGraphicItemInfo::SetStringProperty(std::int32_t number, const std::u16string& value) {
  switch (number) {
    case rvspAlt: Alt = value; return true;
    case rvspFileName: ImageFileName = value; return true;
    default: return TRVRectItemInfo::SetStringProperty(number, value);
  }
}

TRVHotGraphicItemInfo::TRVHotGraphicItemInfo(std::unique_ptr<TGraphic> image, TRVVAlign vAlign)
    : TRVGraphicItemInfo(ItemKindHotPicture) {
  Image = std::move(image);
  VAlign = vAlign;
}

std::unique_ptr<TCustomRVItemInfo> TRVHotGraphicItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVHotGraphicItemInfo(*this));
}

// --- bullets and hotspots ---

std::unique_ptr<TCustomRVItemInfo> TRVBulletItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVBulletItemInfo(*this));
}

bool TRVBulletItemInfo::GetIntProperty(std::int32_t number, std::int32_t& value) const {
  if (number != rvipNoHTMLImageSize) return TRVRectItemInfo::GetIntProperty(number, value);
  value = NoHTMLImageSize ? 1 : 0;
  return true;
}

bool TRVBulletItemInfo::SetIntProperty(std::int32_t number, std::int32_t value) {
  if (number != rvipNoHTMLImageSize) return TRVRectItemInfo::SetIntProperty(number, value);
  NoHTMLImageSize = value != 0;
  return true;
}

std::unique_ptr<TCustomRVItemInfo> TRVHotspotItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVHotspotItemInfo(*this));
}

// --- controls ---

TRVControlItemInfo::TRVControlItemInfo(std::unique_ptr<TRVEmbeddedControl> control, TRVVAlign vAlign)
    : TRVRectItemInfo(ItemKindControl), Control(std::move(control)) {
  VAlign = vAlign;
  if (Control) visible_ = Control->Visible;
}

TRVControlItemInfo::TRVControlItemInfo(const TRVControlItemInfo& source)
    : TRVRectItemInfo(source),
      Control(CopyOf(source.Control)),
      ResizeControl(source.ResizeControl),
      MinHeightOnPage(source.MinHeightOnPage),
      visible_(source.visible_) {}

std::unique_ptr<TCustomRVItemInfo> TRVControlItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVControlItemInfo(*this));
}

void TRVControlItemInfo::SetVisible(bool visible) {
  visible_ = visible;
  if (Control) Control->Visible = visible;
}

bool TRVControlItemInfo::GetIntProperty(std::int32_t number, std::int32_t& value) const {
  switch (number) {
    case rvipMinHeightOnPage: value = MinHeightOnPage; return true;
    case rvipResizable: value = ResizeControl ? 1 : 0; return true;
    case rvipVisible: value = visible_ ? 1 : 0; return true;
    default: return TRVRectItemInfo::GetIntProperty(number, value);
  }
}

bool TRVControlItemInfo::SetIntProperty(std::int32_t number, std::int32_t value) {
  switch (number) {
    case rvipMinHeightOnPage: MinHeightOnPage = value; return true;
    case rvipResizable: ResizeControl = value != 0; return true;
    case rvipVisible: SetVisible(value != 0); return true;
    default: return TRVRectItemInfo::SetIntProperty(number, value);
  }
}

// --- tabs ---

std::unique_ptr<TCustomRVItemInfo> TRVTabItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVTabItemInfo(*this));
}

void TRVTabItemInfo::WritePlainText(TRVTextOutput& out) const { out.WriteAnsi("\t"); }

// --- list markers ---

std::unique_ptr<TCustomRVItemInfo> TRVMarkerItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVMarkerItemInfo(*this));
}

const TRVListLevel* TRVMarkerItemInfo::LevelInfo(const TRVStyle* style) const {
  if (style == nullptr || ListNo < 0 || Level < 0) return nullptr;
  const TRVListInfo* list = style->ListStyles.Find(ListNo);
  if (list == nullptr || list->Levels.Count() == 0) return nullptr;
  return list->Levels.Find(std::min(Level, list->Levels.Count() - 1));
}

std::int32_t TRVMarkerItemInfo::EffectiveLevel(const TRVStyle* style) const {
  if (LevelInfo(style) == nullptr) return -1;
  return std::min(Level, style->ListStyles.Find(ListNo)->Levels.Count() - 1);
}

namespace {

// 8-bit marker text: what the system code page cannot hold shows as "*".
std::string AnsiMarkerText(std::u16string_view text) {
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t length = (i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF) ? 2 : 1;
    std::u16string_view character = text.substr(i, length);
    std::string converted = UnicodeToAnsi(kCpAcp, character);
    if (converted == "?" && character != u"?") converted = "*";
    result += converted;
    i += length;
  }
  return result;
}

}  // namespace

std::u16string TRVMarkerItemInfo::ShownText(const TRVStyle* style) const {
  if (!DisplayString.empty()) return DisplayString;
  // Bullets are not numbered, so their text is the level's own.
  const TRVListLevel* level = LevelInfo(style);
  if (level != nullptr && !level->HasNumbers()) return level->FormatStringW;
  return {};
}

void TRVMarkerItemInfo::WritePlainText(TRVTextOutput& out) const {
  const TRVListLevel* level = LevelInfo(out.Style());
  if (level == nullptr) return;
  if (out.TextOnly()) {
    const std::u16string shown = ShownText(out.Style());
    if (!shown.empty()) out.WriteUnicode(shown + u" ");
    return;
  }
  std::u16string text;
  switch (level->ListType) {
    case rvlstUnicodeBullet: text = level->FormatStringW + u" "; break;
    case rvlstPicture:
    case rvlstImageList:
    case rvlstImageListCounter: text = u"* "; break;
    default: text = DisplayString + u" "; break;
  }
  if (out.Unicode()) {
    out.WriteUnicode(text);
  } else {
    out.WriteBytes(AnsiMarkerText(text));
  }
}

}  // namespace varnolt
