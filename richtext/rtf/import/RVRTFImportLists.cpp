// List markers: a paragraph of a Word 97 list (an "ls" override) or with
// old-style "pn" properties starts with a marker item of a list style, found
// among the sheet's list styles or added; the list's levels come from the
// RTF list table.
#include <algorithm>

#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

constexpr std::int32_t kMaxLevelReference = 8;  // nine levels, 0..8
// Beside the reader's given-property bits: the level set its own font style.
constexpr std::uint8_t kLevelGaveStyle = 0x80;

TRVListType ListTypeOf(std::uint8_t rtfType) {
  switch (rtfType) {
    case 2: return rvlstLowerAlpha;
    case 3: return rvlstUpperAlpha;
    case 4: return rvlstLowerRoman;
    case 5: return rvlstUpperRoman;
    case 6: return rvlstBullet;
    default: return rvlstDecimal;
  }
}

TRVMarkerAlignment AlignmentOf(std::uint8_t alignment) {
  switch (alignment) {
    case 1: return rvmaRight;
    case 2: return rvmaCenter;
    default: return rvmaLeft;
  }
}

// Level text without its count character: codes 0..8 become number
// references ("%s" for the first level, "%1:s" ...), a literal "%" stays one.
std::u16string FormatOfLevelText(std::u16string_view body) {
  std::u16string format;
  for (char16_t c : body) {
    if (c <= kMaxLevelReference) {
      format += c == 0 ? std::u16string(u"%s") : u"%" + Utf8ToUtf16(std::to_string(c)) + u":s";
    } else if (c == u'%') {
      format += u"%%";
    } else {
      format += c;
    }
  }
  return format;
}

std::u16string EscapePercent(std::u16string_view text) {
  std::u16string escaped;
  for (char16_t c : text) {
    escaped += c;
    if (c == u'%') escaped += u'%';
  }
  return escaped;
}

// "%0:s" and "%s" both stand for the first level's number.
std::string NormalizedFormat(std::string format) {
  for (std::size_t at = format.find("%0:s"); at != std::string::npos; at = format.find("%0:s", at)) {
    format.replace(at, 4, "%s");
  }
  return format;
}

bool LevelsMatch(const TRVListLevel& a, const TRVListLevel& b) {
  return a.ListType == b.ListType && a.StartFrom == b.StartFrom && a.MarkerAlignment == b.MarkerAlignment &&
         a.LeftIndent == b.LeftIndent && a.MarkerIndent == b.MarkerIndent && a.FirstIndent == b.FirstIndent &&
         a.Options.Contains(rvloLegalStyleNumbering) == b.Options.Contains(rvloLegalStyleNumbering) &&
         a.Options.Contains(rvloLevelReset) == b.Options.Contains(rvloLevelReset) && a.Font.Style == b.Font.Style &&
         a.Font.Color == b.Font.Color && a.Font.Size == b.Font.Size && SameFontName(a.Font.Name, b.Font.Name) &&
         NormalizedFormat(a.FormatString) == NormalizedFormat(b.FormatString) && a.FormatStringW == b.FormatStringW;
}

bool ListsMatch(const TRVListInfo& a, const TRVListInfo& b) {
  if (a.Levels.Count() != b.Levels.Count()) return false;
  for (int i = 0; i < a.Levels.Count(); ++i) {
    if (!LevelsMatch(a.Levels.Items(i), b.Levels.Items(i))) return false;
  }
  return true;
}

}  // namespace

// --- list styles ---

std::int32_t TRVRTFImporter::ListStyleOfOverride(int overrideIndex) {
  const TRVRTFListOverride97* override = reader_->ListOverrideTable().At(overrideIndex);
  if (override == nullptr || override->listIndex < 0) return -1;
  return ListStyleOfList(override->listIndex);
}

namespace {

// The marker font of a level: the RTF font's name and charset, and the
// style, colour and size; returns the code page of the font's text.
CodePageId TakeMarkerFont(TRVMarkerFont& font, const TRVRTFCustomMarkerProperties& rtf, const TRVRTFFontList& fonts,
                          CodePageId defaultCodePage) {
  CodePageId codePage = defaultCodePage;
  if (const TRVRTFFont* found = fonts.At(rtf.fontIndex)) {
    font.Name = found->name;
    font.Charset = found->charset;
    if (const CodePageId fontCodePage = RTFCharsetToCodePage(found->charset); fontCodePage != kCpAcp) {
      codePage = fontCodePage;
    }
  }
  font.Style = TFontStyles::FromBits(static_cast<std::uint8_t>(rtf.fontStyle & 0x0F));
  font.Color = rtf.color;
  font.Size = rtf.fontSize;
  return codePage;
}

TRVListLevel LevelOf(const TRVRTFListLevel97& rtf, const TRVRTFFontList& fonts, CodePageId defaultCodePage,
                     int ppi) {
  auto px = [ppi](double twips) { return RoundHalfEven(twips * ppi / 1440.0); };
  TRVListLevel level;
  level.ListType = ListTypeOf(rtf.listType);
  level.StartFrom = rtf.start;
  level.MarkerAlignment = AlignmentOf(rtf.alignment);
  level.LeftIndent = px(rtf.leftIndent);
  level.MarkerIndent = level.LeftIndent + px(rtf.firstIndent);
  level.FirstIndent = rtf.tabPosition != kRtfNoListTab ? px(rtf.tabPosition) - level.LeftIndent : 0;
  if (rtf.noRestart) level.Options.Exclude(rvloLevelReset);
  if (rtf.legal) level.Options.Include(rvloLegalStyleNumbering);
  const CodePageId codePage = TakeMarkerFont(level.Font, rtf, fonts, defaultCodePage);
  std::u16string body = rtf.text.empty() ? std::u16string() : rtf.text.substr(1);
  if (rtf.noNumber) {
    // Its text without the numbers in it, as headings with their outline
    // numbering turned off show nothing.
    std::erase_if(body, [](char16_t c) { return c < 10; });
    level.ListType = rvlstBullet;
  }
  if (level.ListType == rvlstBullet) {
    const std::u16string written = body;
    MapSymbolBullet(body, level.Font.Name);
    if (rtf.textHasUnicode || body != written) {
      level.ListType = rvlstUnicodeBullet;
      level.FormatStringW = body;
    } else {
      level.FormatString = UnicodeToAnsi(codePage, body);
    }
  } else {
    level.FormatString = UnicodeToAnsi(codePage, FormatOfLevelText(body));
  }
  return level;
}

}  // namespace

// The first list style of the sheet equal to wanted that this import has
// not taken yet, else a new one; -1 past the limit of added styles.
std::int32_t TRVRTFImporter::TakeListStyle(const TRVListInfo& wanted, bool& added) {
  added = false;
  std::int32_t number = -1;
  for (int i = 0; i < style_.ListStyles.Count() && number < 0; ++i) {
    if (listStylesTaken_.count(i) == 0 && ListsMatch(style_.ListStyles.Items(i), wanted)) number = i;
  }
  if (number < 0 && listStylesAddedCount_ < kMaxRTFImportNewStyles) {
    TRVListInfo& list = style_.AppendListStyle();
    list.Assign(wanted);
    list.SetStandard(false);
    number = style_.ListStyles.Count() - 1;
    ++listStylesAddedCount_;
    added = true;
    if (main_.Events.StyleAdded) main_.Events.StyleAdded(list, number);
  }
  if (number >= 0) listStylesTaken_.insert(number);
  return number;
}

std::int32_t TRVRTFImporter::ListStyleOfList(int listIndex) {
  if (auto known = listStyleOfList_.find(listIndex); known != listStyleOfList_.end()) return known->second;
  const TRVRTFList97* rtf = reader_->ListTable().At(listIndex);
  if (rtf == nullptr) return -1;
  TRVListInfo wanted;
  for (const TRVRTFListLevel97& rtfLevel : rtf->levels) {
    wanted.Levels.Add() = LevelOf(rtfLevel, reader_->FontList(), reader_->CodePage(), ppi_);
  }
  bool added = false;
  const std::int32_t number = TakeListStyle(wanted, added);
  if (added) {
    listStylesAdded_.insert(number);
    for (std::size_t i = 0; i < rtf->levels.size(); ++i) {
      const TRVRTFListLevel97& rtfLevel = rtf->levels[i];
      std::uint8_t given = rtfLevel.givenProperties & kRtfMarkerGivenColor;
      if (rtfLevel.fontSizeGiven) given |= kRtfMarkerGivenSize;
      if (rtfLevel.fontStyle != 0) given |= kLevelGaveStyle;
      levelGiven_[{number, static_cast<std::int32_t>(i)}] = given;
    }
  }
  listStyleOfList_[listIndex] = number;
  return number;
}

std::int32_t TRVRTFImporter::ListStyleOfPn(const TRVRTFMarkerProperties& marker) {
  auto px = [this](double twips) { return ToPixels(twips); };
  TRVListLevel level;
  level.ListType = marker.listType == 0 && marker.level == 11 ? rvlstBullet : ListTypeOf(marker.listType);
  level.StartFrom = marker.start;
  level.MarkerAlignment = AlignmentOf(marker.alignment);
  level.LeftIndent = px(marker.indent);
  level.FirstIndent = px(marker.space);
  // Writers of these lists indent the paragraph itself: the label hangs at
  // its first-line indent and the text starts at its left indent, where the
  // tab after the label goes.
  const TRVRTFParaProperties& para = reader_->RTFState().paraProps;
  if (para.leftIndent != 0 || para.firstIndent != 0) {
    level.LeftIndent = px(para.leftIndent);
    level.MarkerIndent = px(static_cast<double>(para.leftIndent) + para.firstIndent);
  }
  const CodePageId codePage = TakeMarkerFont(level.Font, marker, reader_->FontList(), reader_->CodePage());
  const std::u16string before = AnsiToUnicode(codePage, marker.textBefore);
  const std::u16string after = AnsiToUnicode(codePage, marker.textAfter);
  if (level.ListType == rvlstBullet) {
    level.FormatString = marker.textBefore + marker.textAfter;
  } else {
    level.FormatString = UnicodeToAnsi(codePage, EscapePercent(before) + u"%s" + EscapePercent(after));
  }
  TRVListInfo wanted;
  wanted.Levels.Add() = level;
  std::string key = level.FormatString;
  key += '\0';
  key += std::to_string(level.ListType) + ',' + std::to_string(level.StartFrom) + ',' +
         std::to_string(level.MarkerAlignment) + ',' + std::to_string(level.LeftIndent) + ',' +
         std::to_string(level.MarkerIndent) + ',' +
         std::to_string(level.FirstIndent) + ',' + std::to_string(level.Font.Style.ToBits()) + ',' +
         std::to_string(level.Font.Color) + ',' + std::to_string(level.Font.Size) + ',' +
         Utf16ToUtf8(level.Font.Name);
  if (auto known = listStyleOfPn_.find(key); known != listStyleOfPn_.end()) return known->second;
  bool added = false;
  const std::int32_t number = TakeListStyle(wanted, added);
  listStyleOfPn_[key] = number;
  return number;
}

// --- markers ---

void TRVRTFImporter::InsertMarkerIfListed(std::int32_t paraNo, TRVRTFPosition& position) {
  const TRVRTFParaProperties& para = reader_->RTFState().paraProps;
  std::int32_t listNo = -1;
  std::int32_t level = 0;
  bool reset = false;
  std::int32_t start = 1;
  if (para.listOverrideIndex >= 0) {
    listNo = ListStyleOfOverride(para.listOverrideIndex);
    level = std::clamp(para.listLevel, 0, kMaxLevelReference);
    const TRVRTFListOverride97* override = reader_->ListOverrideTable().At(para.listOverrideIndex);
    if (override != nullptr && static_cast<std::size_t>(level) < override->levels.size() &&
        override->levels[static_cast<std::size_t>(level)].startAt) {
      reset = true;
      start = override->levels[static_cast<std::size_t>(level)].start;
    }
  } else if (para.marker && para.marker->level >= 1 && para.marker->level <= kRtfMarkerLevelCount) {
    listNo = ListStyleOfPn(*para.marker);
  }
  if (listNo < 0) return;
  auto marker = std::make_unique<TRVMarkerItemInfo>(listNo, level);
  marker->Reset = reset;
  marker->ResetValue = start;
  marker->ParaNo = paraNo;
  if (pageBreakTarget_ == target_) {
    marker->SetPageBreakBefore(true);
    pageBreakTarget_ = nullptr;
  }
  lastMarker_ = marker.get();
  target_->AppendItem({}, std::move(marker));
  position = rtf_ts_ContinuePara;
}

void TRVRTFImporter::UpdateMarker() {
  if (lastMarker_ == nullptr || listStylesAdded_.count(lastMarker_->ListNo) == 0) return;
  TRVListInfo* list = style_.ListStyles.Find(lastMarker_->ListNo);
  if (list == nullptr || list->Levels.Count() == 0) return;
  const std::int32_t level = std::min(lastMarker_->Level, list->Levels.Count() - 1);
  if (!levelsUpdated_.insert({lastMarker_->ListNo, level}).second) return;
  const TRVRTFParaProperties& para = reader_->RTFState().paraProps;
  TRVListLevel& record = list->Levels.Items(level);
  record.LeftIndent = ToPixels(para.leftIndent);
  record.MarkerIndent = record.LeftIndent + ToPixels(para.firstIndent);
  // What the level left open comes from the text of its first paragraph.
  const TRVRTFCharProperties& chars = reader_->RTFState().charProps;
  const std::uint8_t given = levelGiven_[{lastMarker_->ListNo, level}];
  if ((given & kRtfMarkerGivenSize) == 0) record.Font.Size = std::max(chars.size, 1);
  if ((given & kRtfMarkerGivenColor) == 0) record.Font.Color = chars.color;
  if ((given & kLevelGaveStyle) == 0) {
    record.Font.Style = TFontStyles::FromBits(static_cast<std::uint8_t>(chars.fontStyle & 0x0F));
  }
}

}  // namespace varnolt
