#pragma once
// A document written as one line, so that tests compare whole structures:
// items in order, "|" before a paragraph start, "/" before a line break,
// "#" before a page break, "+" before an item that continues the line;
// text items as their text ("{}" when empty), other items as <kind>.
#include <string>

#include "platform/CodePage.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"

namespace varnolt::test {

inline std::string ItemKindName(const TCustomRVItemInfo& item) {
  switch (item.StyleNo) {
    case ItemKindBreak: return "<line>";
    case ItemKindPicture: return "<picture>";
    case ItemKindHotPicture: return "<hotpicture>";
    case ItemKindBullet: return "<bullet>";
    case ItemKindHotspot: return "<hotspot>";
    case ItemKindControl: return "<control>";
    case ItemKindTab: return "<tab>";
    case ItemKindListMarker: return "<marker>";
    default: break;
  }
  if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
    return "<label:" + Utf16ToUtf8(label->Text) + ">";
  }
  return "<" + std::to_string(item.StyleNo) + ">";
}

inline std::string Dump(const TCustomRVData& data) {
  std::string out;
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (i > 0) {
      if (item.ContinuesPara()) {
        out += "+";
      } else if (item.LineBreakBefore()) {
        out += "/";
      } else if (item.PageBreakBefore()) {
        out += "#";
      } else {
        out += "|";
      }
    }
    if (!item.IsText()) {
      out += ItemKindName(item);
    } else {
      std::string text = Utf16ToUtf8(data.ItemTextAt(i));
      out += text.empty() ? "{}" : text;
    }
  }
  return out;
}

}  // namespace varnolt::test
