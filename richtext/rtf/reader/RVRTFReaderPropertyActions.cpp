// What the property keywords do to the group state: character, paragraph,
// border, section and document properties, the colour table, the style sheet
// and the reader's own settings.
#include <algorithm>
#include <limits>

#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

using A = TRVRTFAction;
using D = TRVRTFDestination;

constexpr std::int32_t kMaxShading = 10000;
constexpr std::uint8_t kMaxUnderlineType = 12;
constexpr std::int32_t kMaxQuarterPoints = std::numeric_limits<std::int32_t>::max() / 5;

// "highlight" N with fixed colours: N = 1..16.
constexpr TRVRTFColor kHighlightColors[] = {
    0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0xFF00FF, 0x0000FF, 0x00FFFF, 0xFFFFFF,
    0x800000, 0x808000, 0x008000, 0x800080, 0x000080, 0x008080, 0x808080, 0xC0C0C0,
};

TRVRTFColor FixedHighlightColor(std::int32_t index) {
  if (index < 1 || index > static_cast<std::int32_t>(std::size(kHighlightColors))) return kRVRTFNoColor;
  return kHighlightColors[index - 1];
}

void SetBit(std::uint8_t& bits, std::int8_t bit, bool on) {
  const auto mask = static_cast<std::uint8_t>(bit);
  bits = static_cast<std::uint8_t>(on ? (bits | mask) : (bits & ~mask));
}

std::uint8_t ClampToByte(std::int32_t value, std::int32_t high) {
  return static_cast<std::uint8_t>(std::clamp<std::int32_t>(value, 0, high));
}

}  // namespace

void TRVRTFReader::ApplyProperty(const TRVRTFsymbol& symbol, std::int32_t value) {
  const TRVRTFAction action = symbol.action;
  const std::int8_t arg = symbol.arg;
  // Inside a style-sheet entry only the style keywords act: an entry keeps
  // the formatting in force where the style sheet began.
  if (State().destination == D::StyleSheetEntry) {
    ApplyStyleProperty(action, value, arg);
    return;
  }
  if (ApplyListProperty(action, value, arg) || ApplyPictureProperty(action, value, arg) ||
      ApplyCharacterProperty(action, value, arg) || ApplyParagraphProperty(action, value, arg) ||
      ApplyBorderProperty(action, value) || ApplySectionProperty(action, value, arg) ||
      ApplyTableProperty(action, value, arg) || ApplyReaderProperty(action, value, arg)) {
    return;
  }
}

bool TRVRTFReader::ColorAt(std::int32_t index, TRVRTFColor& color) const {
  if (index < 0 || index >= static_cast<std::int32_t>(colors_.size())) return false;
  color = colors_[static_cast<std::size_t>(index)];
  return true;
}

bool TRVRTFReader::ApplyCharacterProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  TRVRTFReaderState& state = State();
  TRVRTFCharProperties& chars = state.charProps;
  TRVRTFColor color = 0;
  switch (action) {
    case A::FontStyle: SetBit(chars.fontStyle, arg, value != 0); break;
    case A::Underline:
      SetBit(chars.fontStyle, kRtfUnderline, value != 0);
      chars.underlineType = 0;
      break;
    case A::UnderlineType:
      SetBit(chars.fontStyle, kRtfUnderline, value != 0);
      if (value != 0) chars.underlineType = ClampToByte(value, kMaxUnderlineType);
      break;
    case A::UnderlineColor: if (ColorAt(value, color)) chars.underlineColor = color; break;
    case A::CharBidi: chars.bidiMode = static_cast<std::uint8_t>(value); break;
    case A::CharScale: chars.charScaleX = value; break;
    case A::CharSpacing:
      // "expnd" counts quarter points, "expndtw" twips.
      chars.charSpacing = arg == 1 ? std::clamp(value, -kMaxQuarterPoints, kMaxQuarterPoints) * 5 : value;
      break;
    case A::SubSuperScript: chars.subSuperScript = static_cast<std::uint8_t>(value); break;
    case A::VerticalUp: chars.vShift = value; break;
    case A::VerticalDown: chars.vShift = -value; break;
    case A::AllCaps: SetBit(chars.styleEx, kRtfAllCaps, value != 0); break;
    case A::SmallCaps: SetBit(chars.styleEx, kRtfSmallCaps, value != 0); break;
    case A::FontSize: chars.size = RoundHalfEven(value / 2.0); break;
    case A::Color: if (ColorAt(value, color)) chars.color = color; break;
    case A::CharBackColor:
      if (chars.highlightIndex == -1 && ColorAt(value, color)) {
        chars.backColor = color == kRVRTFAutoColor ? kRVRTFNoColor : color;
      }
      break;
    case A::Highlight:
      chars.highlightIndex = value;
      if (ConvertHighlight == rtf_hl_FixedColors) {
        chars.backColor = FixedHighlightColor(value);
      } else if (ConvertHighlight == rtf_hl_ColorTable && ColorAt(value, color)) {
        chars.backColor = color == kRVRTFAutoColor ? kRVRTFNoColor : color;
      }
      break;
    case A::Language: chars.language = value; break;
    case A::DefaultLanguage: state.defaultLanguage = value; break;
    case A::Plain:
      chars = TRVRTFCharProperties{};
      chars.language = state.defaultLanguage;
      chars.fontIndex = DefaultFontIndex();
      break;
    case A::Font: SetFont(value); break;
    case A::AssociatedFont: break;
    case A::Hidden: SetHidden(value != 0); break;
    case A::FontFamily:
      if (state.destination == D::FontTable && fonts_.Last() != nullptr) {
        fonts_.Last()->family = static_cast<std::uint8_t>(value);
      }
      break;
    case A::FontCharset:
      if (state.destination == D::FontTable && fonts_.Last() != nullptr) {
        FlushCollected();
        fonts_.Last()->charset = value >= 256 ? 77 : value < 0 ? 1 : static_cast<std::uint8_t>(value);
      }
      break;
    default:
      return false;
  }
  return true;
}

void TRVRTFReader::SetHidden(bool hidden) {
  TRVRTFReaderState& state = State();
  if (hidden == state.charProps.hidden) return;
  const bool inText = state.destination == D::Text;
  const bool wasPending = !pendingText_.empty() || !pendingUnicode_.empty();
  if (inText) Emit(Break::None);
  state.charProps.hidden = hidden;
  if (inText && hidden && !wasPending) Emit(Break::None, true);
}

void TRVRTFReader::SetFont(std::int32_t number) {
  TRVRTFReaderState& state = State();
  switch (state.destination) {
    case D::Text:
    case D::Bookmark:
    case D::FieldInstruction:
    case D::LevelText:
      state.charProps.fontIndex = FontIndexOfNumber(number);
      break;
    case D::FontTable:
      FlushCollected();
      if (fonts_.Count() < kMaxRTFTableEntries) {
        fonts_.Add(number);
      } else {
        state.destination = D::Skip;
      }
      break;
    case D::StyleSheet:
      if (TRVRTFStyleSheetEntry* entry = styleSheet_.Last()) entry->charProps.fontIndex = FontIndexOfNumber(number);
      break;
    default:
      break;
  }
}

int TRVRTFReader::FontIndexOfNumber(std::int32_t number) {
  // A number the table lacks means the default font.
  const int index = fonts_.IndexOfNumber(number);
  return index >= 0 ? index : DefaultFontIndex();
}

int TRVRTFReader::DefaultFontIndex() {
  if (resolvedDefaultFontIndex_ >= 0) return resolvedDefaultFontIndex_;
  // Before the font table there is nothing to resolve against yet.
  if (fonts_.Empty()) return 0;
  resolvedDefaultFontIndex_ = fonts_.IndexOfNumber(defaultFontNumber_);
  if (resolvedDefaultFontIndex_ < 0) resolvedDefaultFontIndex_ = FirstFontUnlessSymbol();
  return resolvedDefaultFontIndex_;
}

bool TRVRTFReader::ApplyParagraphProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  TRVRTFReaderState& state = State();
  TRVRTFParaProperties& para = state.paraProps;
  TRVRTFColor color = 0;
  switch (action) {
    case A::ParagraphDefaults: para = TRVRTFParaProperties{}; break;
    case A::ParaValue: {
      std::int32_t* const fields[] = {&para.leftIndent, &para.rightIndent, &para.firstIndent, &para.spaceBefore,
                                      &para.spaceAfter};
      *fields[static_cast<std::size_t>(arg)] = value;
      break;
    }
    case A::LineSpacing: para.lineSpacing = value; break;
    case A::LineSpacingMultiple: para.lineSpacingMultiple = value != 0; break;
    case A::ParaAlign: para.alignment = static_cast<std::uint8_t>(value); break;
    case A::ParaBidi: para.bidiMode = static_cast<std::uint8_t>(value); break;
    case A::KeepTogether: para.keepTogether = value != 0; break;
    case A::KeepWithNext: para.keepWithNext = value != 0; break;
    case A::InTable: para.inTable = true; break;
    case A::NestingLevel:
      para.nestingLevel = std::clamp(value, 0, kMaxRTFTableNesting);
      if (value > 0) para.inTable = true;
      break;
    case A::KeepTableOpen: para.keepTableOpen = value != 0; break;
    case A::ListOverrideNumber:
      if (state.destination == D::ListOverride) {
        if (listOverrides_.Count() > 0) listOverrides_.SetNumber(listOverrides_.Count() - 1, value);
      } else {
        para.listOverrideIndex = listOverrides_.IndexOfNumber(value);
      }
      break;
    case A::ListLevelNumber: para.listLevel = value; break;
    case A::ParaBackColor: if (ColorAt(value, color)) para.backColor = color; break;
    case A::ParaPatternColor: if (ColorAt(value, color)) para.patternColor = color; break;
    case A::Shading: para.shading = std::clamp(value, 0, kMaxShading); break;
    case A::TabPosition:
      PendingTab().position = value;
      if (para.tabs.size() <= kMaxRTFTabsPerParagraph) para.tabs.emplace_back();
      break;
    case A::TabAlign: PendingTab().alignment = static_cast<std::uint8_t>(value); break;
    case A::TabLeader: PendingTab().leader = static_cast<std::uint8_t>(value); break;
    case A::ListTab: PendingTab().listTab = true; break;
    default:
      return false;
  }
  return true;
}

TRVRTFTab& TRVRTFReader::PendingTab() {
  TRVRTFParaProperties& para = State().paraProps;
  if (para.tabs.empty() || para.tabsFinalized) {
    para.tabsFinalized = false;
    para.tabs.emplace_back();
  }
  return para.tabs.back();
}

bool TRVRTFReader::ApplyBorderProperty(TRVRTFAction action, std::int32_t value) {
  TRVRTFReaderState& state = State();
  TRVRTFColor color = 0;
  switch (action) {
    case A::ParaBorderSide:
      state.borderTarget = TRVRTFBorderTarget::Paragraph;
      if (!state.paraProps.border) state.paraProps.border.emplace();
      state.paraProps.currentBorderSide = static_cast<std::uint8_t>(value);
      break;
    case A::RowBorderSide:
      state.borderTarget = TRVRTFBorderTarget::Row;
      MutableRow().currentBorderSide = static_cast<std::uint8_t>(value);
      break;
    case A::CellBorderSide:
      state.borderTarget = TRVRTFBorderTarget::Cell;
      LastCell().currentBorderSide = static_cast<std::uint8_t>(value);
      break;
    case A::BorderTargetNone: state.borderTarget = TRVRTFBorderTarget::Character; break;
    case A::BorderTargetInnerRow: state.borderTarget = TRVRTFBorderTarget::InnerRow; break;
    case A::BorderKind:
      if (TRVRTFBorderSide* side = TargetBorderSide(); side != nullptr && side->kind == 0) {
        side->kind = static_cast<std::uint8_t>(value);
        if (value != 0 && side->width == 0) side->width = 10;
      }
      break;
    case A::BorderWidth:
      if (TRVRTFBorderSide* side = TargetBorderSide()) side->width = value;
      break;
    case A::BorderColor:
      if (TRVRTFBorderSide* side = TargetBorderSide(); side != nullptr && ColorAt(value, color)) side->color = color;
      break;
    case A::BorderSpacing:
      if (state.borderTarget == TRVRTFBorderTarget::Paragraph) {
        if (TRVRTFBorderSide* side = TargetBorderSide()) side->spacing = value;
      }
      break;
    default:
      return false;
  }
  return true;
}

TRVRTFBorderSide* TRVRTFReader::TargetBorderSide() {
  TRVRTFReaderState& state = State();
  switch (state.borderTarget) {
    case TRVRTFBorderTarget::Paragraph: {
      TRVRTFParaProperties& para = state.paraProps;
      if (!para.border) para.border.emplace();
      return &para.border->Side(para.currentBorderSide);
    }
    case TRVRTFBorderTarget::Row: {
      TRVRTFRowProperties& row = MutableRow();
      return &row.border.Side(row.currentBorderSide);
    }
    case TRVRTFBorderTarget::Cell: {
      TRVRTFCellProperties& cell = LastCell();
      return &cell.border.Side(cell.currentBorderSide);
    }
    default:
      return nullptr;
  }
}

bool TRVRTFReader::ApplySectionProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  TRVRTFReaderState& state = State();
  TRVRTFSectionProperties& section = state.sectProps;
  TRVRTFDocProperties& doc = state.docProps;
  switch (action) {
    case A::SectionDefaults: section = TRVRTFSectionProperties{}; break;
    case A::SectionValue: {
      std::int32_t* const fields[] = {&section.columnCount, &section.pageNumberX, &section.pageNumberY,
                                      &section.headerY,     &section.footerY,     &section.pageWidth,
                                      &section.pageHeight,  &section.leftMargin,  &section.rightMargin,
                                      &section.topMargin,   &section.bottomMargin, &section.columnSpace};
      *fields[static_cast<std::size_t>(arg)] = value;
      break;
    }
    case A::SectionFlag: {
      bool* const flags[] = {&section.landscape, &section.titlePage, &section.lineBetweenColumns};
      *flags[static_cast<std::size_t>(arg)] = value != 0;
      break;
    }
    case A::SectionBreak: section.breakKind = static_cast<std::uint8_t>(value); break;
    case A::PageNumberFormat: section.pageNumberFormat = static_cast<std::uint8_t>(value); break;
    case A::DocValue: {
      std::int32_t* const fields[] = {&doc.paperWidth, &doc.paperHeight, &doc.leftMargin, &doc.rightMargin,
                                      &doc.topMargin,  &doc.bottomMargin, &doc.pageNumberStart, &doc.viewScale};
      if (arg < static_cast<std::int8_t>(std::size(fields))) {
        *fields[static_cast<std::size_t>(arg)] = value;
        // The first two fields are the paper's.
        if (arg <= 1) doc.paperSizeGiven = true;
      } else {
        doc.viewZoomKind = ClampToByte(value, 255);
      }
      break;
    }
    case A::DocFlag: {
      bool* const flags[] = {&doc.facingPages, &doc.mirrorMargins, &doc.landscape};
      *flags[static_cast<std::size_t>(arg)] = value != 0;
      break;
    }
    default:
      return false;
  }
  return true;
}

bool TRVRTFReader::ApplyReaderProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  TRVRTFReaderState& state = State();
  switch (action) {
    case A::AnsiCodePage: codePage_ = value < 0 ? kCpAcp : static_cast<CodePageId>(value); break;
    case A::DefaultFont:
      if (state.destination == D::Text) {
        defaultFontNumber_ = value;
        resolvedDefaultFontIndex_ = -1;
      }
      break;
    case A::UnicodeChar: HandleUnicodeChar(value); break;
    case A::UnicodeSkip: state.unicodeSkip = std::max(value, 0); break;
    case A::SectionEnd:
      // Ends the paragraph as a paragraph mark does, but right after one it
      // ends no empty paragraph of its own; the main text's sections are told.
      if (position_ != rtf_ts_NewPara || !pendingText_.empty() || !pendingUnicode_.empty()) DropOrDeliver(10);
      if (OnSectionEnd && state.destination == D::Text && state.headerFooterKind == 0 && !state.inFootnote) {
        OnSectionEnd(*this);
      }
      break;
    case A::PageBreak:
      if (OnRequiredPageBreak) {
        EmitWithSync(true);
        OnRequiredPageBreak(*this);
      }
      break;
    case A::PageBreakBefore:
      // Office suites mark a page break as a property of the paragraph after
      // it; a style definition that carries it breaks nothing by itself.
      if (value != 0 && state.destination == D::Text && OnRequiredPageBreak) {
        EmitWithSync(true);
        OnRequiredPageBreak(*this);
      }
      break;
    case A::FootnoteCharacter:
      if (OnNote) {
        Emit(Break::None);
        FinalizeParagraph();
        OnNote(*this, rtf_ne_Character, position_);
        position_ = rtf_ts_ContinuePara;
      }
      break;
    case A::Endnote:
      if (state.inFootnote && OnNote) OnNote(*this, rtf_ne_EndNote, position_);
      break;
    case A::ColorComponent:
      if (!colors_.empty()) {
        TRVRTFColor& entry = colors_.back();
        if (entry == kRVRTFAutoColor) entry = 0;
        entry |= static_cast<TRVRTFColor>(std::clamp(value, 0, 255)) << arg;
      }
      break;
    case A::StyleNumber:
    case A::StyleBasedOn:
    case A::StyleNext:
    case A::StyleAdditive:
    case A::StyleHidden:
      break;  // only inside a style-sheet entry
    default:
      return false;
  }
  return true;
}

bool TRVRTFReader::ApplyStyleProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  TRVRTFStyleSheetEntry* entry = styleSheet_.Last();
  if (entry == nullptr) return false;
  switch (action) {
    case A::StyleNumber:
      entry->number = value;
      entry->kind = static_cast<std::uint8_t>(arg);
      break;
    case A::StyleBasedOn: entry->basedOn = styleSheet_.IndexOfNumber(value); break;
    case A::StyleNext: entry->next = styleSheet_.IndexOfNumber(value); break;
    case A::StyleAdditive: entry->additive = value != 0; break;
    case A::StyleHidden: entry->hidden = value != 0; break;
    default:
      return false;
  }
  return true;
}

void TRVRTFReader::FinalizeParagraph() {
  TRVRTFParaProperties& para = State().paraProps;
  if (para.shading != 0) {
    para.backColor = BlendShading(para.backColor, para.patternColor, para.shading);
    para.shading = 0;
  }
  if (!para.tabs.empty() && !para.tabsFinalized) {
    para.tabs.pop_back();
    std::erase_if(para.tabs, [&para](const TRVRTFTab& tab) {
      if (tab.listTab) para.listTabPosition = tab.position;
      return tab.listTab;
    });
    para.tabsFinalized = true;
  }
}

}  // namespace varnolt
