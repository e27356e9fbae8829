#include "richtext/document/CRVDataText.h"

#include <algorithm>
#include <exception>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"

namespace varnolt {

namespace {

constexpr std::string_view kUnicodeCrLf{"\r\0\n\0", 4};
constexpr std::string_view kUnicodeBom{"\xFF\xFE", 2};
constexpr int kSpacesInTabWithoutStyle = 8;

enum class TRVPendingBreak { kNone, kParagraph, kLine, kPage };

class TRVTextCutter {
 public:
  TRVTextCutter(std::u16string_view text, const TRVTextCutContext& context) : text_(text), context_(context) {
    const TRVStyle* style = context.Style;
    unicode_ = style == nullptr || style->TextStyleAt(context.TextStyleNo).Unicode;
    codePage_ = CodePageOfStyle(style, context.TextStyleNo);
    tabItems_ = style != nullptr && style->SpacesInTab < 1;
    tabSpaces_ = style != nullptr ? style->SpacesInTab : kSpacesInTabWithoutStyle;
  }

  TRVItemList Cut() {
    std::size_t i = 0;
    while (i < text_.size()) {
      char16_t c = text_[i];
      TRVPendingBreak found = BreakOf(c);
      if (found != TRVPendingBreak::kNone) {
        Flush(i);
        pending_ = found;
        std::size_t next = i + 1;
        bool pairs = (c == u'\r' || c == u'\n') && next < text_.size() &&
                     (text_[next] == u'\r' || text_[next] == u'\n') && text_[next] != c;
        i = pairs ? next + 1 : next;
        chunkStart_ = i;
      } else if (c == u'\t' && tabItems_) {
        Flush(i);
        AddTab();
        chunkStart_ = ++i;
      } else {
        ++i;
      }
    }
    Flush(text_.size());
    return std::move(items_);
  }

 private:
  TRVPendingBreak BreakOf(char16_t c) const {
    switch (c) {
      case u'\r':
      case u'\n':
      case u'\u2029': return TRVPendingBreak::kParagraph;
      case u'\v':
      case u'\u2028': return TRVPendingBreak::kLine;
      case u'\f': return context_.AcceptsPageBreaks ? TRVPendingBreak::kPage : TRVPendingBreak::kParagraph;
      default: return TRVPendingBreak::kNone;
    }
  }

  void ApplyPendingBreak(TCustomRVItemInfo& item) {
    switch (pending_) {
      case TRVPendingBreak::kNone: item.SetContinuesPara(true); break;
      case TRVPendingBreak::kParagraph: item.SetStartsParagraph(); break;
      case TRVPendingBreak::kLine: item.SetLineBreakBefore(true); break;
      case TRVPendingBreak::kPage: item.SetPageBreakBefore(true); break;
    }
    pending_ = TRVPendingBreak::kNone;
  }

  void Flush(std::size_t end) {
    std::u16string_view chunk = text_.substr(chunkStart_, end - chunkStart_);
    bool make = !chunk.empty() || pending_ != TRVPendingBreak::kNone || items_.empty();
    if (!make) return;
    auto item = std::make_unique<TRVTextItemInfo>(context_.TextStyleNo);
    item->ParaNo = context_.ParaNo;
    item->SetUnicodeText(unicode_);
    item->ItemText = StoredText(chunk);
    ApplyPendingBreak(*item);
    items_.push_back(std::move(item));
  }

  std::string StoredText(std::u16string_view chunk) const {
    std::u16string withTabs;
    if (!tabItems_ && chunk.find(u'\t') != std::u16string_view::npos) {
      for (char16_t c : chunk) {
        if (c == u'\t') {
          withTabs.append(static_cast<std::size_t>(std::max(tabSpaces_, 0)), u' ');
        } else {
          withTabs += c;
        }
      }
      chunk = withTabs;
    }
    if (unicode_) return UnicodeItemText(chunk);
    return AnsiItemText(UnicodeToAnsi(codePage_, chunk));
  }

  void AddTab() {
    auto tab = std::make_unique<TRVTabItemInfo>(context_.TextStyleNo);
    tab->ParaNo = context_.ParaNo;
    ApplyPendingBreak(*tab);
    items_.push_back(std::move(tab));
  }

  std::u16string_view text_;
  const TRVTextCutContext& context_;
  bool unicode_ = true;
  CodePageId codePage_ = kCpAcp;
  bool tabItems_ = false;
  int tabSpaces_ = 0;
  std::size_t chunkStart_ = 0;
  TRVPendingBreak pending_ = TRVPendingBreak::kNone;
  TRVItemList items_;
};

}  // namespace

TRVItemList CutTextIntoItems(std::u16string_view text, const TRVTextCutContext& context) {
  std::u16string swapped;
  if (!text.empty() && text.front() == u'\uFEFF') {
    text.remove_prefix(1);
  } else if (!text.empty() && text.front() == u'\uFFFE') {
    swapped.assign(text.begin() + 1, text.end());
    for (char16_t& c : swapped) c = static_cast<char16_t>((c >> 8) | (c << 8));
    text = swapped;
  }
  if (text.empty()) return {};
  return TRVTextCutter(text, context).Cut();
}

// --- extraction ---

bool TCustomRVData::ExtractText(const std::u16string& path, std::string& stream, int lineWidth, bool selectionOnly,
                                bool textOnly, bool unicode, bool writeBOM) const {
  TRVTextOutput out(stream, unicode, lineWidth, textOnly, GetRVStyle());
  return ExtractText(path, out, selectionOnly, writeBOM);
}

bool TCustomRVData::ExtractText(const std::u16string& path, TRVTextOutput& out, bool selectionOnly,
                                bool writeBOM) const {
  try {
    TRVPosition start;
    TRVPosition end;
    if (selectionOnly) {
      if (!GetSelectionBounds(start, end)) return true;
    } else {
      if (CountItems() == 0) return true;
      start = {0, ItemStartOffset(0)};
      end = {CountItems() - 1, ItemEndOffset(CountItems() - 1)};
    }
    if (start == end) return true;
    if (selectionOnly && start.ItemNo == end.ItemNo && ItemAt(start.ItemNo).WriteSelectedText(out)) {
      out.Flush();
      return true;
    }
    if (out.Unicode() && writeBOM) out.WriteBytes(kUnicodeBom);
    ExtractRange(out, path, start, end, selectionOnly);
    out.Flush();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TCustomRVData::ExtractRange(TRVTextOutput& out, const std::u16string& path, TRVPosition start,
                                 TRVPosition end, bool selectionOnly) const {
  if (selectionOnly && !out.TextOnly()) {
    int lineStart = LineStart(start.ItemNo);
    bool markerCovered = lineStart == start.ItemNo && start.Offset == 0;
    if (ItemAt(lineStart).StyleNo == ItemKindListMarker && !markerCovered) {
      WriteItemText(out, path, lineStart, 0, 1);
    }
  }
  int firstEnd = start.ItemNo == end.ItemNo ? end.Offset : ItemEndOffset(start.ItemNo);
  WriteItemText(out, path, start.ItemNo, start.Offset, firstEnd);
  for (int i = start.ItemNo + 1; i <= end.ItemNo; ++i) {
    if (StartsNewLine(i)) out.WriteBytes(out.Unicode() ? kUnicodeCrLf : std::string_view("\r\n"));
    WriteItemText(out, path, i, ItemStartOffset(i), i == end.ItemNo ? end.Offset : ItemEndOffset(i));
  }
}

void TCustomRVData::WriteItemText(TRVTextOutput& out, const std::u16string& path, int index, int from, int to) const {
  const TCustomRVItemInfo& item = ItemAt(index);
  if (!item.IsText()) {
    bool covered = from <= 0 && to >= 1;
    if (!covered || (out.TextOnly() && !item.IncludedInTextOnlyFor(out))) return;
  }
  if (Events.SaveItemAsText) {
    if (auto supplied = Events.SaveItemAsText(item, path, out.Unicode())) {
      out.WriteBytes(*supplied);
      return;
    }
  }
  if (!item.IsText()) {
    item.WritePlainText(out);
    return;
  }
  int length = TextItemLength(item);
  int first = std::clamp(from - 1, 0, length);
  int last = std::clamp(to - 1, first, length);
  if (item.UnicodeText()) {
    std::string_view bytes(item.ItemText);
    bytes = bytes.substr(static_cast<std::size_t>(first) * 2, static_cast<std::size_t>(last - first) * 2);
    if (out.Unicode()) {
      out.WriteBytes(bytes);
    } else {
      out.WriteBytes(UnicodeToAnsi(out.DefCodePage(), BytesToUtf16(bytes)));
    }
    return;
  }
  std::string_view bytes = std::string_view(item.ItemText).substr(static_cast<std::size_t>(first),
                                                                   static_cast<std::size_t>(last - first));
  if (out.Unicode()) {
    out.WriteBytes(Utf16ToBytes(AnsiToUnicode(CodePageOfStyle(GetRVStyle(), EffectiveStyleOf(index)), bytes)));
  } else {
    out.WriteBytes(bytes);
  }
}

}  // namespace varnolt
