// What each item contributes to the RTF: hyperlink fields around links,
// text runs in their text style, and the output of every item kind.
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rtf/writer/RVRTFWriterInternal.h"
#include "richtext/table/RVTable.h"

namespace varnolt {

namespace {

std::u16string LettersAndDigits(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) {
    if (!IsCharAlphaNumeric(c)) c = u'_';
  }
  return result;
}

bool HasTextStyle(const TCustomRVItemInfo& item) {
  return item.IsText() || dynamic_cast<const TRVLabelItemInfo*>(&item) != nullptr;
}

const char* SequenceNumbering(TRVSeqType type) {
  switch (type) {
    case rvseqLowerAlpha: return " \\\\* alphabetic";
    case rvseqUpperAlpha: return " \\\\* ALPHABETIC";
    case rvseqLowerRoman: return " \\\\* roman";
    case rvseqUpperRoman: return " \\\\* ROMAN";
    default: return "";
  }
}

}  // namespace

bool TRVRTFWriter::WriteLinkStart(TRVRTFCall& call, int index) {
  const TCustomRVData& data = call.Data;
  const TCustomRVItemInfo& item = data.ItemAt(index);
  const bool link = item.IsText() ? style_.TextStyleAt(data.EffectiveStyleOf(index)).Jump : item.IsLink(&style_);
  if (!link) return false;

  std::u16string extras;
  if (!item.ItemHint().empty()) {
    std::u16string hint = item.ItemHint();
    for (char16_t& c : hint) {
      if (c == u'"') c = u'\'';
    }
    extras = u"\\o \"" + hint + u"\"";
  }
  std::u16string target;
  const std::int32_t id = item.JumpId() + data.FirstJumpNo;
  if (settings_.OnWriteHyperlink) {
    settings_.OnWriteHyperlink(id, data, index, target, extras);
  } else if (settings_.OnURLNeeded) {
    settings_.OnURLNeeded(id, target);
  }

  const bool local = !target.empty() && target.front() == u'#';
  std::u16string quoted = local ? LettersAndDigits(std::u16string_view(target).substr(1)) : target;
  if (local) {
    extras = extras.find(u'\0') != std::u16string::npos ? u"\\l " + extras : std::u16string(u"\\l") + u'\0' + extras;
  }
  if (quoted.empty() && extras.empty()) return false;

  std::u16string front;
  std::u16string back = extras;
  if (const auto zero = extras.find(u'\0'); zero != std::u16string::npos) {
    front = extras.substr(0, zero);
    back = extras.substr(zero + 1);
  }
  if (!front.empty() && front.back() != u' ') front += u' ';
  if (!back.empty() && back.front() != u' ') back.insert(0, 1, u' ');

  sink_.Put("{\\field{\\*\\fldinst HYPERLINK ");
  EscapeFieldText(front, style_.DefCodePage);
  sink_.Put('"');
  if (local) {
    EscapeName(quoted, style_.DefCodePage);
  } else {
    EscapeFieldText(quoted, style_.DefCodePage, true);
  }
  sink_.Put('"');
  EscapeFieldText(back, style_.DefCodePage);
  sink_.Put("}{\\fldrslt ");
  call.LastTextStyle = -1;
  return true;
}

// The text style the item is written in; -1 for items without one and for
// text in a style that exists only for HTML.
int TRVRTFWriter::ItemTextStyle(const TRVRTFCall& call, int index) const {
  const TCustomRVItemInfo& item = call.Data.ItemAt(index);
  if (!HasTextStyle(item)) return -1;
  const auto* label = item.IsText() ? nullptr : dynamic_cast<const TRVLabelItemInfo*>(&item);
  const int styleNo = label != nullptr ? label->TextStyleNo : call.Data.EffectiveStyleOf(index);
  const TRVTextOptions options = style_.TextStyleAt(styleNo).Options;
  if (options.Contains(rvteoHTMLCode) && !options.Contains(rvteoRTFCode)) return -1;
  return styleNo;
}

void TRVRTFWriter::WriteContent(TRVRTFCall& call, int index) {
  const TCustomRVItemInfo& item = call.Data.ItemAt(index);
  const int textStyle = ItemTextStyle(call, index);
  if (textStyle >= 0) {
    if (textStyle != call.LastTextStyle) {
      sink_.Put("\\plain ");
      const TFontInfo* font = style_.TextStyles.Find(textStyle);
      if (Option(rvrtfSaveStyleSheet) && font != nullptr && font->Standard()) {
        sink_.PutKeyword("cs", std::int64_t{textStyle} + ParaStyleCount());
      }
      WriteCharProperties(&call, textStyle);
    }
    if (TakenOverByHook(call, index)) return;
    if (item.IsText()) {
      WriteItemText(call, index, textStyle);
    } else {
      WriteItemOutput(call, index);
    }
    return;
  }
  const TParaInfo* para = style_.ParaStyles.Find(call.LastParaStyle);
  const bool rightToLeft = para != nullptr && para->BiDiMode == rvbdRightToLeft;
  if (rightToLeft) sink_.Put("\\ltrpar");
  if (!TakenOverByHook(call, index) && !item.IsText()) WriteItemOutput(call, index);
  call.LastTextStyle = -1;
  if (rightToLeft) sink_.Put("\\rtlpar");
}

bool TRVRTFWriter::TakenOverByHook(const TRVRTFCall& call, int index) {
  if (!settings_.OnSaveItemToFile) return false;
  std::string outStr;
  bool doDefault = true;
  settings_.OnSaveItemToFile(path_, call.Data, index, outStr, doDefault);
  if (doDefault) return false;
  sink_.Put(outStr);
  return true;
}

void TRVRTFWriter::WriteItemText(TRVRTFCall& call, int index, int textStyle) {
  const TCustomRVItemInfo& item = call.Data.ItemAt(index);
  const int length = TextItemLength(item);
  int from = 0;
  int to = length;
  if (call.SelectionOnly && index == call.Start.ItemNo) from = std::clamp(call.Start.Offset - 1, 0, length);
  if (call.SelectionOnly && index == call.End.ItemNo) to = std::clamp(call.End.Offset - 1, from, length);
  const bool raw = style_.TextStyleAt(textStyle).Options.Contains(rvteoRTFCode);
  const auto start = static_cast<std::size_t>(from);
  const auto count = static_cast<std::size_t>(to - from);
  if (item.UnicodeText()) {
    escaper_.TextBytes(sink_, std::string_view(item.ItemText).substr(start * 2, count * 2),
                       {style_.CodePageOfStyle(textStyle), raw, Option(rvrtfDuplicateUnicode), false});
  } else {
    escaper_.Ansi(sink_, std::string_view(item.ItemText).substr(start, count), raw);
  }
}

void TRVRTFWriter::WriteItemOutput(TRVRTFCall& call, int index) {
  const TCustomRVItemInfo& item = call.Data.ItemAt(index);
  // Markers first: the most common kind here, and neither a base nor a
  // derivation of any kind below.
  if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
    WriteMarker(*marker);
  } else if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) {
    WriteTable(call, *table);
  } else if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&item)) {
    WriteNote(*note, item.StyleNo == ItemKindEndnote);
  } else if (const auto* sequence = dynamic_cast<const TRVSeqItemInfo*>(&item)) {
    WriteSequence(*sequence);
  } else if (dynamic_cast<const TRVNoteReferenceItemInfo*>(&item) != nullptr) {
    sink_.Put("\\chftn ");
  } else if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
    WriteLabelText(*label);
  } else if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
    WritePicture(picture->Image.get(), picture->ImageWidth, picture->ImageHeight);
  } else if (const auto* bullet = dynamic_cast<const TRVBulletItemInfo*>(&item)) {
    WriteImageListImage(bullet->ImageListTag, nullptr, bullet->ImageIndex);
  } else if (const auto* line = dynamic_cast<const TRVBreakItemInfo*>(&item)) {
    WriteBreak(call, *line);
    // The line ends its own paragraph and resets the paragraph properties.
    call.NoParaBreak = true;
    call.LastParaStyle = -1;
    call.LevelInEffect = nullptr;
  } else if (dynamic_cast<const TRVTabItemInfo*>(&item) != nullptr) {
    sink_.Put("\\tab ");
  } else if (const auto* control = dynamic_cast<const TRVControlItemInfo*>(&item)) {
    WriteControl(*control);
  }
}

void TRVRTFWriter::WriteBreak(const TRVRTFCall& call, const TRVBreakItemInfo& line) {
  std::string nesting;
  if (call.Level == 1) {
    nesting = "\\intbl\\itap1";
  } else if (call.Level > 1) {
    nesting = "\\itap" + std::to_string(call.Level);
  }
  sink_.Put("\\pard");
  sink_.Put(nesting);
  sink_.Put("\\plain\\fs6\\brdrb\\brdrs");
  sink_.PutKeyword("brdrw", Twips(line.LineWidth));
  sink_.PutKeyword("brdrcf", line.Color == kRVColorNone ? 0 : ColorIndex(line.Color));
  sink_.Put("\\par\\pard");
  sink_.Put(nesting);
}

void TRVRTFWriter::WriteMarker(const TRVMarkerItemInfo& marker) {
  const TRVListLevel* level = marker.LevelInfo(&style_);
  if (level == nullptr) return;
  switch (level->ListType) {
    case rvlstPicture: {
      const auto picture = LoadGraphicFromBytes(level->Picture, pixelsPerInch_);
      WritePicture(picture.get(), 0, 0);
      return;
    }
    case rvlstImageList:
      WriteImageListImage(0, level->ImageList, level->ImageIndex);
      return;
    case rvlstImageListCounter:
      WriteImageListImage(0, level->ImageList, level->ImageIndex + marker.Counter - 1);
      return;
    default:
      break;
  }
  sink_.Put("{\\listtext\\pard\\plain");
  WriteMarkerFont(*level);
  sink_.Put(' ');
  EscapeFieldText(level->ListType == rvlstUnicodeBullet ? level->FormatStringW : marker.DisplayString,
                  style_.DefCodePage);
  sink_.Put("\\tab}");
  std::int32_t override = 1;
  if (const auto found = markerOverrides_.find(&marker); found != markerOverrides_.end()) {
    override = found->second;
  } else if (static_cast<std::size_t>(marker.ListNo) < lists_.size()) {
    override = lists_[static_cast<std::size_t>(marker.ListNo)].FirstOverride;
  }
  sink_.PutKeyword("ls", override);
  sink_.PutKeyword("ilvl", marker.EffectiveLevel(&style_));
  sink_.Put(' ');
}

void TRVRTFWriter::WriteLabelText(const TRVLabelItemInfo& label) {
  EscapeFieldText(label.Text, style_.CodePageOfStyle(label.TextStyleNo));
}

void TRVRTFWriter::WriteSequence(const TRVSeqItemInfo& sequence) {
  sink_.Put("{\\field{\\*\\fldinst {SEQ ");
  EscapeName(sequence.SeqName, style_.DefCodePage);
  sink_.Put(SequenceNumbering(sequence.NumberType));
  if (sequence.Reset) {
    sink_.Put(" \\\\r ");
    sink_.PutNumber(sequence.StartFrom);
  }
  sink_.Put(" \\\\* MERGEFORMAT }}{\\fldrslt {");
  EscapeName(sequence.Text, style_.DefCodePage);
  sink_.Put("}}}");
}

void TRVRTFWriter::WriteNote(const TRVNoteItemInfo& note, bool endnote) {
  sink_.Put(endnote ? "\\chftn{\\footnote\\ftnalt " : "\\chftn{\\footnote ");
  WriteNested(note.Document(), 0);
  sink_.Put('}');
}

void TRVRTFWriter::WriteControl(const TRVControlItemInfo& control) {
  if (control.Control == nullptr || !settings_.OnSaveComponentToFile) return;
  std::u16string outStr;
  settings_.OnSaveComponentToFile(path_, *control.Control, outStr);
  if (!outStr.empty()) sink_.Put(UnicodeToAnsi(kCpAcp, outStr));
}

std::pair<bool, bool> HoldsItemKinds(const TCustomRVData& data, std::int32_t first, std::int32_t second) {
  std::pair<bool, bool> held{false, false};
  for (int i = 0; i < data.CountItems() && !(held.first && held.second); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (item.IsText()) continue;
    held.first = held.first || item.StyleNo == first;
    held.second = held.second || item.StyleNo == second;
    for (int d = 0; d < item.SubDocumentCount(); ++d) {
      const TCustomRVData* sub = item.SubDocument(d);
      if (sub == nullptr) continue;
      const auto inside = HoldsItemKinds(*sub, first, second);
      held.first = held.first || inside.first;
      held.second = held.second || inside.second;
    }
  }
  return held;
}

}  // namespace varnolt
