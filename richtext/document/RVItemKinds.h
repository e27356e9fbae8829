#pragma once
// The object item kinds: horizontal lines, pictures, bullets, hotspots,
// embedded controls, tabs and list markers.
#include <cstdint>
#include <memory>
#include <string>

#include "richtext/document/RVItem.h"
#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

struct TRVListLevel;

// A control embedded in a document: the class name and the control's stored
// properties; this application never creates one, stored documents may.
struct TRVEmbeddedControl {
  std::string ClassName;
  std::string Data;
  bool Visible = true;
};

class TRVBreakItemInfo : public TRVNonTextItemInfo {
 public:
  TRVBreakItemInfo() : TRVNonTextItemInfo(ItemKindBreak) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  TColor Color = kRVColorNone;  // none: the text colour
  std::uint8_t LineStyle = 0;
  std::uint8_t LineWidth = 1;

  bool OccupiesWholeLine() const override { return true; }
  void WritePlainText(TRVTextOutput& out) const override;
};

class TRVGraphicItemInfo : public TRVRectItemInfo {
 public:
  TRVGraphicItemInfo() : TRVGraphicItemInfo(ItemKindPicture) {}
  TRVGraphicItemInfo(std::unique_ptr<TGraphic> image, TRVVAlign vAlign);
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::unique_ptr<TGraphic> Image;
  std::unique_ptr<TGraphic> ImageCopy;  // alternative picture for printing
  std::int32_t ImageWidth = 0;            // 0: natural size
  std::int32_t ImageHeight = 0;
  std::u16string Alt;
  std::u16string ImageFileName;
  bool NoHTMLImageSize = false;
  std::int32_t Interval = 0;  // animation interval
  bool Resizable = true;
  std::int32_t MinHeightOnPage = 0;
  // Transparency of a bitmap picture.
  bool Transparent = false;
  std::int32_t TransparentMode = 0;  // 0 automatic, 1 fixed colour
  TColor TransparentColor = 0;

  bool ImageIsBitmap() const;

  bool GetIntProperty(std::int32_t number, std::int32_t& value) const override;
  bool SetIntProperty(std::int32_t number, std::int32_t value) override;
  bool GetStringProperty(std::int32_t number, std::u16string& value) const override;
  bool SetStringProperty(std::int32_t number, const std::u16string& value) override;

 protected:
  explicit TRVGraphicItemInfo(std::int32_t styleNo) : TRVRectItemInfo(styleNo) {}
  TRVGraphicItemInfo(const TRVGraphicItemInfo& source);
};

// A picture that acts as a link.
class TRVHotGraphicItemInfo : public TRVGraphicItemInfo {
 public:
  TRVHotGraphicItemInfo() : TRVGraphicItemInfo(ItemKindHotPicture) {}
  TRVHotGraphicItemInfo(std::unique_ptr<TGraphic> image, TRVVAlign vAlign);
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;
  bool IsLink(const TRVStyle*) const override { return true; }
};

// An image of an image list, referred to by the list's tag.
class TRVBulletItemInfo : public TRVRectItemInfo {
 public:
  TRVBulletItemInfo() : TRVBulletItemInfo(ItemKindBullet) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::int32_t ImageListTag = 0;
  std::int32_t ImageIndex = 0;
  bool NoHTMLImageSize = false;

  bool GetIntProperty(std::int32_t number, std::int32_t& value) const override;
  bool SetIntProperty(std::int32_t number, std::int32_t value) override;

 protected:
  explicit TRVBulletItemInfo(std::int32_t styleNo) : TRVRectItemInfo(styleNo) {}
  TRVBulletItemInfo(const TRVBulletItemInfo&) = default;
};

// A bullet with a second image under the mouse; acts as a link.
class TRVHotspotItemInfo : public TRVBulletItemInfo {
 public:
  TRVHotspotItemInfo() : TRVBulletItemInfo(ItemKindHotspot) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::int32_t HotImageIndex = 0;

  bool IsLink(const TRVStyle*) const override { return true; }
};

class TRVControlItemInfo : public TRVRectItemInfo {
 public:
  TRVControlItemInfo() : TRVRectItemInfo(ItemKindControl) {}
  TRVControlItemInfo(std::unique_ptr<TRVEmbeddedControl> control, TRVVAlign vAlign);
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::unique_ptr<TRVEmbeddedControl> Control;
  bool ResizeControl = false;
  std::int32_t MinHeightOnPage = 0;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  bool GetIntProperty(std::int32_t number, std::int32_t& value) const override;
  bool SetIntProperty(std::int32_t number, std::int32_t value) override;

 private:
  TRVControlItemInfo(const TRVControlItemInfo& source);
  bool visible_ = true;
};

// A tab character; its text style gives the tab's leader and width.
class TRVTabItemInfo : public TRVNonTextItemInfo {
 public:
  explicit TRVTabItemInfo(std::int32_t textStyleNo = 0) : TRVNonTextItemInfo(ItemKindTab), TextStyleNo(textStyleNo) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::int32_t TextStyleNo;

  bool IncludedInTextOnly() const override { return true; }
  void WritePlainText(TRVTextOutput& out) const override;
};

// The first item of a list paragraph. Counter and DisplayString are computed
// by list numbering; the rest is stored.
class TRVMarkerItemInfo : public TRVNonTextItemInfo {
 public:
  TRVMarkerItemInfo(std::int32_t listNo = -1, std::int32_t level = 0)
      : TRVNonTextItemInfo(ItemKindListMarker), ListNo(listNo), Level(level) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::int32_t ListNo;  // index into the style sheet's ListStyles
  std::int32_t Level;
  bool Reset = false;   // restart numbering at ResetValue
  std::int32_t ResetValue = 1;
  std::int32_t Counter = 0;
  std::u16string DisplayString;

  // The level record this marker is numbered and drawn with: its list's level
  // at Level, the last one when Level is beyond it; nullptr when there is none.
  const TRVListLevel* LevelInfo(const TRVStyle* style) const;
  // Level clamped to the list's last level; -1 without a level record.
  std::int32_t EffectiveLevel(const TRVStyle* style) const;

  // The label the page shows: the number it was given, or a bullet's text.
  std::u16string ShownText(const TRVStyle* style) const;
  bool IncludedInTextOnlyFor(const TRVTextOutput& out) const override { return out.ListLabels(); }
  void WritePlainText(TRVTextOutput& out) const override;

 private:
  TRVMarkerItemInfo(const TRVMarkerItemInfo&) = default;
};

}  // namespace varnolt
