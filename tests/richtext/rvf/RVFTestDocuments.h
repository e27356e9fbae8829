#pragma once
// Documents the stored-format tests write and read back, and a full dump of
// a document (every item with every field the stored format keeps, nested
// documents included) so that a round trip is compared as a whole.
#include <memory>
#include <sstream>
#include <string>

#include "platform/CodePage.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"
#include "richtext/rvf/RVFTypes.h"
#include "richtext/style/RVStyle.h"
#include "richtext/table/RVTable.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"

namespace varnolt::test {

// --- dumping ---

inline std::string DumpTag(const TRVTag& tag) {
  if (const auto* number = std::get_if<std::int32_t>(&tag)) return std::to_string(*number);
  return "\"" + std::get<std::string>(tag) + "\"";
}

inline std::string DumpPicture(const TGraphic* picture) {
  if (picture == nullptr) return "none";
  return picture->ClassName() + " " + std::to_string(picture->Width()) + "x" + std::to_string(picture->Height());
}

inline std::string DumpRect(const TRVBooleanRect& rect) {
  return std::string(rect.Left ? "L" : "-") + (rect.Top ? "T" : "-") + (rect.Right ? "R" : "-") +
         (rect.Bottom ? "B" : "-");
}

std::string DeepDump(const TCustomRVData& data, const std::string& indent = "");

inline std::string DumpProperties(const TCustomRVItemInfo& item) {
  std::string out;
  for (std::int32_t number = rvipVShift; number <= rvipVisible; ++number) {
    std::int32_t value = 0;
    if (item.GetIntProperty(number, value)) out += " p" + std::to_string(number) + "=" + std::to_string(value);
  }
  for (std::int32_t number = rvspHint; number <= rvspFileName; ++number) {
    std::u16string value;
    if (item.GetStringProperty(number, value)) out += " s" + std::to_string(number) + "=" + Utf16ToUtf8(value);
  }
  return out;
}

inline std::string DumpTable(const TRVTableItemInfo& table, const std::string& indent) {
  std::ostringstream out;
  out << " table " << table.TableRowCount() << "x" << table.TableColumnCount() << " opt" << table.Options.ToBits()
      << " popt" << int(table.PrintOptions.ToBits()) << " bw" << table.BestWidth << " col" << table.Color << " bs"
      << int(table.BackgroundStyle()) << " hr" << table.HeadingRowCount << " sep[" << Utf16ToUtf8(table.TextRowSeparator())
      << "|" << Utf16ToUtf8(table.TextColSeparator()) << "] b" << table.BorderWidth << "," << table.BorderColor << ","
      << table.BorderLightColor << "," << int(table.BorderStyle) << "," << table.BorderVSpacing << ","
      << table.BorderHSpacing << "," << DumpRect(table.VisibleBorders) << " cb" << table.CellBorderWidth << ","
      << table.CellBorderColor << "," << table.CellBorderLightColor << "," << int(table.CellBorderStyle) << " pad"
      << table.CellHPadding << "," << table.CellVPadding << " sp" << table.CellVSpacing << "," << table.CellHSpacing
      << " rules" << table.VRuleWidth << "," << table.VRuleColor << "," << table.HRuleWidth << "," << table.HRuleColor
      << "," << table.VOutermostRule << table.HOutermostRule << "\n";
  for (int r = 0; r < table.TableRowCount(); ++r) {
    out << indent << " row " << r << " va" << int(table.Row(r).VAlign) << " pb" << int(table.Row(r).PageBreakBefore)
        << "\n";
    for (int c = 0; c < table.TableColumnCount(); ++c) {
      const TRVTableCellData* cell = table.CellAt(r, c);
      if (cell == nullptr) {
        out << indent << "  (" << r << "," << c << ") covered\n";
        continue;
      }
      out << indent << "  (" << r << "," << c << ") span " << cell->SpanRows() << "x" << cell->SpanColumns() << " col"
          << cell->Color << " bc" << cell->BorderColor << "," << cell->BorderLightColor << " best" << cell->BestWidth
          << "x" << cell->BestHeight << " vis" << DumpRect(cell->VisibleBorders) << " va" << int(cell->VAlign) << " bg"
          << int(cell->BackgroundStyle()) << " " << DumpPicture(cell->BackgroundImage()) << " file["
          << Utf16ToUtf8(cell->BackgroundImageFileName()) << "] hint[" << Utf16ToUtf8(cell->Hint()) << "]\n";
      out << DeepDump(*cell, indent + "    ");
    }
  }
  return out.str();
}

inline std::string DumpKind(const TCustomRVItemInfo& item, const std::string& indent) {
  std::ostringstream out;
  if (const auto* table = dynamic_cast<const TRVTableItemInfo*>(&item)) return DumpTable(*table, indent);
  if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
    out << " label[" << Utf16ToUtf8(label->Text) << "] ts" << label->TextStyleNo << " al" << int(label->Alignment)
        << " mw" << label->MinWidth << " pr" << label->ProtectTextStyleNo << " va" << int(label->VAlign);
  }
  if (const auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item)) {
    out << " seq[" << Utf16ToUtf8(seq->SeqName) << "] t" << int(seq->NumberType) << " r" << seq->Reset << " s"
        << seq->StartFrom << " f[" << Utf16ToUtf8(seq->FormatString) << "] n" << seq->Counter;
  }
  if (const auto* note = dynamic_cast<const TRVNoteItemInfo*>(&item)) {
    out << "\n" << DeepDump(note->Document(), indent + "    ");
  }
  if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
    out << " list" << marker->ListNo << " lvl" << marker->Level << " reset" << marker->Reset << "," << marker->ResetValue
        << " n" << marker->Counter;
  }
  if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) out << " ts" << tab->TextStyleNo;
  if (const auto* line = dynamic_cast<const TRVBreakItemInfo*>(&item)) {
    out << " line" << line->Color << "," << int(line->LineStyle) << "," << int(line->LineWidth);
  }
  if (const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
    out << " pic " << DumpPicture(picture->Image.get()) << " bytes" << (picture->Image ? picture->Image->SaveToBytes().size() : 0)
        << " va" << int(picture->VAlign);
  }
  if (const auto* bullet = dynamic_cast<const TRVBulletItemInfo*>(&item)) {
    out << " images" << bullet->ImageListTag << "," << bullet->ImageIndex;
  }
  if (const auto* hotspot = dynamic_cast<const TRVHotspotItemInfo*>(&item)) out << "," << hotspot->HotImageIndex;
  if (const auto* control = dynamic_cast<const TRVControlItemInfo*>(&item)) {
    out << " control " << (control->Control ? control->Control->ClassName + "[" + control->Control->Data + "]" : "none")
        << " va" << int(control->VAlign);
  }
  return out.str();
}

inline std::string DeepDump(const TCustomRVData& data, const std::string& indent) {
  std::ostringstream out;
  for (int i = 0; i < data.CountItems(); ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    out << indent << i << ": " << item.StyleNo << " p" << item.ParaNo << " f" << int(item.ItemFlags()) << " tag"
        << DumpTag(item.ItemTag()) << " hint[" << Utf16ToUtf8(item.ItemHint()) << "]";
    if (item.Checkpoint()) {
      out << " cp[" << Utf16ToUtf8(item.Checkpoint()->Name) << " " << DumpTag(item.Checkpoint()->Tag) << " "
          << item.Checkpoint()->RaiseEvent << item.Checkpoint()->Persistent << "]";
    }
    if (item.IsText()) {
      out << " text[" << Utf16ToUtf8(data.ItemTextAt(i)) << "]";
    } else {
      out << " name[" << item.ItemText << "]" << DumpProperties(item) << DumpKind(item, indent);
    }
    out << "\n";
  }
  if (const TRVCPInfo* pending = data.PendingCheckpoint()) {
    out << indent << "pending cp[" << Utf16ToUtf8(pending->Name) << " " << DumpTag(pending->Tag) << " "
        << pending->RaiseEvent << pending->Persistent << "]\n";
  }
  return out.str();
}

// --- building ---

inline std::unique_ptr<TGraphic> SmallBitmap(int width, int height) {
  return TBitmap::FromDib(MakeDib(width, height));
}

// A style sheet with an 8-bit Cyrillic text style (6), a list style with
// two numbered levels (0) and a protected style (7) beside the defaults.
inline void AddTestStyles(TRVStyle& style) {
  TFontInfo& cyrillic = style.AppendTextStyle();
  cyrillic.SetStyleName(u"Cyrillic \"8-bit\"");
  cyrillic.Unicode = false;
  cyrillic.Charset = 204;
  TFontInfo& locked = style.AppendTextStyle();
  locked.SetStyleName(u"Locked");
  locked.Protection.Include(rvprRVFInsertProtect);
  TRVListInfo& list = style.AppendListStyle();
  list.SetStyleName(u"Numbers");
  for (int level = 0; level < 2; ++level) {
    TRVListLevel& entry = list.Levels.Add();
    entry.ListType = rvlstDecimal;
    entry.FormatString = level == 0 ? "%0:s." : "%0:s.%1:s.";
    entry.LeftIndent = 24 * (level + 1);
  }
}

// Text of every kind: UTF-16 and 8-bit, hints, tags, line and page
// breaks, checkpoints, and one item of every other kind.
inline void BuildEveryKind(TCustomRVData& data) {
  data.AddCheckpoint(u"start", std::int32_t{7}, true).Persistent = true;
  data.AppendTextItemW(u"Grüße, \u4E16\u754C", 0, 0, std::int32_t{12});
  data.AppendTextItemW(u" bold", 1, -1);
  data.AppendTextItem("\xCF\xF0\xE8\xE2\xE5\xF2", 6, -1);  // Cyrillic in code page 1251
  auto hinted = std::make_unique<TRVTextItemInfo>(0);
  hinted->ParaNo = 1;
  hinted->SetItemHint(u"a \"hint\"\r\nover lines");
  hinted->SetUnicodeText(true);
  data.AppendItem(UnicodeItemText(u"centred"), std::move(hinted));
  auto lineBreak = std::make_unique<TRVTextItemInfo>(0);
  lineBreak->ParaNo = 1;
  lineBreak->SetLineBreakBefore(true);
  lineBreak->SetUnicodeText(true);
  data.AppendItem(UnicodeItemText(u"after a line break"), std::move(lineBreak));
  auto pageBreak = std::make_unique<TRVTextItemInfo>(2);
  pageBreak->SetPageBreakBefore(true);
  pageBreak->SetUnicodeText(true);
  data.AppendItem(UnicodeItemText(u"on a new page"), std::move(pageBreak));
  data.AppendItem({}, std::make_unique<TRVTabItemInfo>(3));
  data.AppendTextItemW(u"", ParaDefaultStyle, -1);

  auto line = std::make_unique<TRVBreakItemInfo>();
  line->Color = clRed;
  line->LineStyle = 1;
  line->LineWidth = 3;
  line->DeleteProtect = true;
  data.AppendItem({}, std::move(line));

  auto picture = std::make_unique<TRVGraphicItemInfo>(SmallBitmap(3, 2), rvvaMiddle);
  picture->ImageWidth = 30;
  picture->Alt = u"three by two";
  picture->ImageFileName = u"/tmp/picture.bmp";
  picture->Transparent = true;
  picture->TransparentMode = 1;
  picture->TransparentColor = clWhite;
  picture->Resizable = false;
  picture->SetItemHint(u"picture hint");
  data.AppendItem("picture name", std::move(picture));
  auto png = std::make_unique<TRVHotGraphicItemInfo>(TPngGraphic::FromBytes(MakePng(4, 5)), rvvaAbsTop);
  png->ParaNo = -1;
  png->SetSpacing(3);
  png->VShift = -20;
  data.AppendItem("png", std::move(png));
  auto jpeg = std::make_unique<TRVGraphicItemInfo>(TJPEGImage::FromBytes(MakeJpeg(6, 7)), rvvaBaseline);
  jpeg->ParaNo = -1;
  data.AppendItem({}, std::move(jpeg));
  auto emf = std::make_unique<TRVGraphicItemInfo>(TMetafile::FromEnhancedBits(MakeEmf(2540, 1270), 96), rvvaBaseline);
  emf->ParaNo = -1;
  data.AppendItem({}, std::move(emf));

  auto bullet = std::make_unique<TRVBulletItemInfo>();
  bullet->ImageListTag = 5;
  bullet->ImageIndex = 2;
  bullet->ParaNo = -1;
  data.AppendItem("bullet", std::move(bullet));
  auto hotspot = std::make_unique<TRVHotspotItemInfo>();
  hotspot->ImageListTag = 5;
  hotspot->ImageIndex = 1;
  hotspot->HotImageIndex = 3;
  hotspot->ParaNo = -1;
  data.AppendItem("hotspot", std::move(hotspot));
  auto control = std::make_unique<TRVControlItemInfo>(
      std::make_unique<TRVEmbeddedControl>(TRVEmbeddedControl{"TButton", std::string("\x01\x02\r\n", 4), true}),
      rvvaAbsBottom);
  control->ParaNo = -1;
  control->SetVisible(false);
  control->ResizeControl = true;
  data.AppendItem("button", std::move(control));

  auto label = std::make_unique<TRVLabelItemInfo>(1, u"label \"text\"");
  label->Alignment = rvlaCenter;
  label->MinWidth = 40;
  label->ProtectTextStyleNo = true;
  label->ParaNo = -1;
  data.AppendItem({}, std::move(label));
  auto seq = std::make_unique<TRVSeqItemInfo>(u"Figure", rvseqUpperRoman, 0);
  seq->Reset = true;
  seq->StartFrom = 4;
  seq->FormatString = u"(%s)";
  seq->ParaNo = -1;
  data.AppendItem({}, std::move(seq));
  auto footnote = std::make_unique<TRVFootnoteItemInfo>(0);
  footnote->Document().AppendItem({}, std::make_unique<TRVNoteReferenceItemInfo>(0));
  footnote->Document().AppendTextItemW(u" the note's own text", 0, -1);
  footnote->ParaNo = -1;
  data.AppendItem({}, std::move(footnote));
  auto endnote = std::make_unique<TRVEndnoteItemInfo>(0);
  endnote->Document().AppendTextItemW(u"an endnote", 0, 0);
  endnote->ParaNo = -1;
  data.AppendItem({}, std::move(endnote));

  auto marker = std::make_unique<TRVMarkerItemInfo>(0, 1);
  marker->Reset = true;
  marker->ResetValue = 3;
  data.AppendItem({}, std::move(marker));
  data.AppendTextItemW(u"a list item", 0, -1, std::int32_t{-99});
  data.AddCheckpoint(u"at the end", std::int32_t{0}, false);
}

// A table with merged cells, cell looks, row lists and a table in a cell.
inline std::unique_ptr<TRVTableItemInfo> BuildTable(TCustomRVData* owner) {
  auto table = TRVTableItemInfo::CreateTable(3, 3, owner);
  table->BorderWidth = 2;
  table->Color = 0x00ABCDEF;
  table->SetTextColSeparator(u"\t");
  table->VisibleBorders.Top = false;
  table->Options.Include(rvtoHideGridLines);
  table->SetItemHint(u"table hint");
  table->JoinCells(0, 0, 2, 2);
  table->Row(2).VAlign = 2;
  table->Row(1).PageBreakBefore = 1;
  TRVTableCellData& merged = *table->CellAt(0, 0);
  merged.ClearItems();
  merged.AppendTextItemW(u"merged", 0, 0);
  merged.Color = clBlue;
  merged.BestWidth = -50;
  merged.VAlign = rvcBottom;
  merged.SetHint(u"cell hint");
  merged.SetBackgroundImage(SmallBitmap(2, 2));
  merged.SetBackgroundStyle(rvbsTiled);
  TRVTableCellData& side = *table->CellAt(0, 2);
  side.ClearItems();
  auto inner = TRVTableItemInfo::CreateTable(1, 2, &side);
  inner->CellAt(0, 1)->ClearItems();
  inner->CellAt(0, 1)->AppendTextItemW(u"inner", 0, 0);
  side.AppendItem({}, std::move(inner));
  table->CellAt(2, 1)->ClearItems();
  table->CellAt(2, 1)->AppendTextItemW(u"bottom", 0, 0);
  table->CellAt(2, 1)->VisibleBorders.Left = false;
  return table;
}

// Answers for the image list the test documents use (tag 5, four images).
inline TRVFView TestView() {
  TRVFView view;
  view.ControlClasses = {"TButton"};
  view.OnImageListNeeded = [](std::int32_t tag) { return tag == 5 ? 4 : -1; };
  return view;
}

}  // namespace varnolt::test
