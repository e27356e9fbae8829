// The editor's exchange of rich content: copying a selection in every
// clipboard format, cutting, pasting the richest format offered, and RTF
// files in and out.
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/CodePage.h"
#include "platform/Screen.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/editor/RVEdit.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {

namespace {

constexpr std::size_t kRvfLengthPrefix = 4;

std::string WithLengthPrefix(const std::string& bytes) {
  std::string block(kRvfLengthPrefix, '\0');
  const auto length = static_cast<std::uint32_t>(bytes.size());
  for (std::size_t i = 0; i < kRvfLengthPrefix; ++i) block[i] = static_cast<char>((length >> (8 * i)) & 0xFF);
  return block + bytes;
}

// The RVF behind a block's length prefix, never past the block's end.
std::string_view WithoutLengthPrefix(std::string_view block) {
  if (block.size() < kRvfLengthPrefix) return {};
  std::uint32_t length = 0;
  for (std::size_t i = 0; i < kRvfLengthPrefix; ++i) {
    length |= static_cast<std::uint32_t>(static_cast<unsigned char>(block[i])) << (8 * i);
  }
  return block.substr(kRvfLengthPrefix, std::min<std::size_t>(length, block.size() - kRvfLengthPrefix));
}

// "SourceURL:" of an HTML clipboard block, as the folder linked pictures are
// relative to.
std::u16string BasePathFromHtml(std::string_view html) {
  constexpr std::string_view kKey = "SourceURL:";
  auto at = html.find(kKey);
  if (at == std::string_view::npos) return {};
  std::string_view url = html.substr(at + kKey.size());
  url = url.substr(0, url.find_first_of(std::string_view("\r\n\0", 3)));
  std::u16string path = Utf8ToUtf16(url);
  for (std::u16string_view scheme : {u"file://", u"http://", u"https://"}) {
    if (path.starts_with(scheme)) {
      const bool web = scheme != u"file://";
      std::u16string folder = path.substr(0, path.rfind(u'/') + 1);
      return web ? folder : folder.substr(scheme.size());
    }
  }
  return path.substr(0, path.find_last_of(u"/\\") + 1);
}

// File names of a dropped-files block: UTF-8 names, each ended by a zero.
std::vector<std::string> FileNamesOf(std::string_view block) {
  std::vector<std::string> names;
  while (!block.empty()) {
    auto end = block.find('\0');
    std::string_view name = block.substr(0, end);
    if (!name.empty()) names.emplace_back(name);
    if (end == std::string_view::npos) break;
    block.remove_prefix(end + 1);
  }
  return names;
}

bool IsKindTheRvfKeeps(std::int32_t styleNo) {
  // Pictures are left out: the RVF gives a bare metafile a placeable header.
  switch (styleNo) {
    case ItemKindListMarker:
    case ItemKindTab:
    case ItemKindBreak:
    case ItemKindTable:
    case ItemKindFootnote:
    case ItemKindEndnote:
    case ItemKindNoteReference: return true;
    default: return styleNo >= 0;
  }
}

// A text item the RVF reader would take as it is: neither skipped for its
// style's protection nor converted to or from UTF-16 for its style. Its
// paragraph style is known (StyleNumbersTheRvfKeeps).
bool IsTextTheRvfKeeps(const TCustomRVItemInfo& item, const TRVStyle* style) {
  if (style == nullptr) return true;
  std::int32_t styleNo = item.StyleNo;
  if (styleNo == ParaDefaultStyle) {
    styleNo = std::max(style->ParaStyleAt(item.ParaNo).DefStyleNo, 0);
  }
  if (styleNo >= style->TextStyles.Count()) return false;
  const TFontInfo& textStyle = style->TextStyleAt(styleNo);
  if (item.StyleNo != ParaDefaultStyle && textStyle.Protection.Contains(rvprRVFInsertProtect)) return false;
  return textStyle.Unicode == item.UnicodeText();
}

bool IsTextStyleNumber(std::int32_t styleNo, const TRVStyle& style) {
  return styleNo == ParaDefaultStyle || (styleNo >= 0 && styleNo < style.TextStyles.Count());
}

// Style, list and text style numbers that the RVF reader keeps: it drops an
// item whose text style is unknown and renumbers an unknown list.
bool StyleNumbersTheRvfKeeps(const TCustomRVItemInfo& item, const TRVStyle* style) {
  if (style == nullptr) return item.ParaNo >= 0;
  if (item.ParaNo < 0 || item.ParaNo >= style->ParaStyles.Count()) return false;
  if (item.IsText()) return true;
  if (const auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
    return marker->ListNo >= 0 && marker->ListNo < style->ListStyles.Count();
  }
  if (const auto* tab = dynamic_cast<const TRVTabItemInfo*>(&item)) return IsTextStyleNumber(tab->TextStyleNo, *style);
  if (const auto* label = dynamic_cast<const TRVLabelItemInfo*>(&item)) {
    return IsTextStyleNumber(label->TextStyleNo, *style);
  }
  return true;
}

// True when the RVF reader would rebuild the items first..last of data as
// they are: the kinds above, paragraphs that start with a paragraph start and
// share one paragraph style, and text after each list marker (the reader adds
// an empty item otherwise). Documents inside items are taken whole.
bool RvfKeepsItems(const TCustomRVData& data, int first, int last, const TRVStyle* style) {
  std::int32_t paraNo = 0;
  for (int i = first; i <= last; ++i) {
    const TCustomRVItemInfo& item = data.ItemAt(i);
    if (!IsKindTheRvfKeeps(item.StyleNo) || !StyleNumbersTheRvfKeeps(item, style)) return false;
    if (item.IsText() && !IsTextTheRvfKeeps(item, style)) return false;
    const bool continues = item.ContinuesPara() || item.LineBreakBefore();
    if (continues && (i == first || data.ItemAt(i - 1).OccupiesWholeLine() || item.OccupiesWholeLine())) return false;
    if (!continues) paraNo = item.ParaNo;
    if (item.ParaNo != paraNo) return false;
    if (item.StyleNo == ItemKindListMarker && (i == last || !data.ItemAt(i + 1).ContinuesPara())) return false;
    for (int d = 0; d < item.SubDocumentCount(); ++d) {
      const TCustomRVData* sub = item.SubDocument(d);
      if (sub == nullptr || sub->CountItems() == 0) continue;
      if (!RvfKeepsItems(*sub, 0, sub->CountItems() - 1, style)) return false;
    }
  }
  return true;
}

}  // namespace

bool TCustomRichDocEdit::MoveDocumentInto(TCustomRichDocEdit& target) {
  if (inplace_ != nullptr || data_.CountItems() == 0) return false;
  if (Style() != target.Style() || data_.TagsArePChars() != target.data_.TagsArePChars()) return false;
  // What the whole document's RVF holds: an empty paragraph at either end is left out.
  const int last = data_.CountItems() - 1;
  TRVPosition start{0, data_.ItemStartOffset(0)};
  TRVPosition end{last, data_.ItemEndOffset(last)};
  if (!NarrowRVFRange(data_, start, end) || !RvfKeepsItems(data_, start.ItemNo, end.ItemNo, Style())) return false;
  TRVItemList items = data_.ExtractItems(start.ItemNo, end.ItemNo - start.ItemNo + 1);
  ClearDocument();
  return target.InsertImportedItems(std::move(items), false);
}

std::string TCustomRichDocEdit::SelectionAsRvfBlock() const {
  std::string rvf;
  TRVFView view;
  WriteRVF(data_, rvf, rvfsmSelection, view);
  return WithLengthPrefix(rvf);
}

std::string TCustomRichDocEdit::SelectionAsRtf() const {
  MemoryOutputStream rtf;
  TRVRTFWriteSettings settings;
  settings.RTFOptions = RTFOptions;
  const TColor background = Style() != nullptr ? Style()->Color : clWhite;
  WriteRTF(data_, rtf, u"", true, background, nullptr, nullptr, settings);
  return rtf.Bytes();
}

const TGraphic* TCustomRichDocEdit::SelectedLonePicture() const {
  TRVPosition start, end;
  if (!data_.GetSelectionBounds(start, end) || start.ItemNo != end.ItemNo) return nullptr;
  const auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&data_.ItemAt(start.ItemNo));
  return picture != nullptr ? picture->Image.get() : nullptr;
}

void TCustomRichDocEdit::CopyAllFormats() {
  if (inplace_ != nullptr) return inplace_->CopyAllFormats();
  if (!HasSelection() || clipboard_ == nullptr) return;
  const auto formats = RegisterEngineFormats(*clipboard_);
  try {
    std::string rvf = SelectionAsRvfBlock();
    std::string text = SelectedText(false) + '\0';
    std::string unicode = SelectedText(true) + std::string(2, '\0');
    std::string rtf = SelectionAsRtf();
    const TGraphic* picture = SelectedLonePicture();
    clipboard_->Empty();
    clipboard_->Open();
    if (OnCopy) OnCopy();
    clipboard_->SetData(formats.richDoc, std::move(rvf));
    clipboard_->SetData(kCfText, std::move(text));
    if (picture != nullptr) clipboard_->SetData(kCfBitmap, picture->SaveToBytes());
    clipboard_->SetData(kCfUnicodeText, std::move(unicode));
    clipboard_->SetData(formats.richText, std::move(rtf));
    clipboard_->Close();
  } catch (const std::bad_alloc&) {
    throw ERichDocError("No memory");
  }
}

bool TCustomRichDocEdit::CopyByOptions() {
  if (inplace_ != nullptr) return inplace_->CopyByOptions();
  const bool wantsRvf = options_.Contains(rvoAutoCopyRVF);
  const bool wantsUnicode = options_.Contains(rvoAutoCopyUnicodeText);
  // The clipboard offers 8-bit text from Unicode text by itself.
  const bool wantsText = options_.Contains(rvoAutoCopyText) && !wantsUnicode;
  const bool wantsImage = options_.Contains(rvoAutoCopyImage);
  const bool wantsRtf = options_.Contains(rvoAutoCopyRTF);
  const bool anything = wantsRvf || options_.Contains(rvoAutoCopyText) || wantsUnicode || wantsImage || wantsRtf ||
                        static_cast<bool>(OnCopy);
  if (!anything || !HasSelection() || clipboard_ == nullptr) return anything;
  const auto formats = RegisterEngineFormats(*clipboard_);
  try {
    clipboard_->Empty();
    clipboard_->Open();
    if (OnCopy) OnCopy();
    if (wantsRvf) clipboard_->SetData(formats.richDoc, SelectionAsRvfBlock());
    if (wantsText) clipboard_->SetData(kCfText, SelectedText(false) + '\0');
    if (const TGraphic* picture = wantsImage ? SelectedLonePicture() : nullptr) {
      clipboard_->SetData(kCfBitmap, picture->SaveToBytes());
    }
    if (wantsUnicode) clipboard_->SetData(kCfUnicodeText, SelectedText(true) + std::string(2, '\0'));
    if (wantsRtf) clipboard_->SetData(formats.richText, SelectionAsRtf());
    clipboard_->Close();
  } catch (const std::bad_alloc&) {
    throw ERichDocError("No memory");
  }
  return true;
}

void TCustomRichDocEdit::CutSelection() {
  if (inplace_ != nullptr) return inplace_->CutSelection();
  if (EnsureEditable(false) && CopyByOptions()) DeleteSelected();
}

bool TCustomRichDocEdit::PasteRvf(const std::string& block) {
  TRVEditRVData scratch;
  scratch.SetRVStyle(Style());
  TRVFView view;
  const bool read = ReadRVF(scratch, WithoutLengthPrefix(block), 0, false, view);
  return InsertImportedItems(scratch.ExtractItems(0, scratch.CountItems()), !read) && read;
}

bool TCustomRichDocEdit::PasteRtf(const std::string& rtf) {
  return InsertRTF(RTFReadProperties, rtf) == 0;
}

void TCustomRichDocEdit::InsertPictureFile(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) return;
  std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  try {
    if (auto picture = LoadGraphicFromBytes(bytes, kScreenPixelsPerInch)) {
      InsertPictureAtCaret(u"", std::move(picture), rvvaBaseline);
    }
  } catch (const Exception&) {
    // A file that is no picture is passed over.
  }
}

void TCustomRichDocEdit::PastePictures() {
  if (auto files = clipboard_->GetData(kCfHDrop)) {
    for (const auto& name : FileNamesOf(*files)) InsertPictureFile(name);
    return;
  }
  for (ClipboardFormat format : {kCfBitmap, kCfMetafilePict}) {
    if (auto block = clipboard_->GetData(format)) {
      if (auto picture = LoadGraphicFromBytes(*block, kScreenPixelsPerInch)) {
        InsertPictureAtCaret(u"", std::move(picture), rvvaBaseline);
      }
      return;
    }
  }
}

void TCustomRichDocEdit::PasteFromClipboard() {
  if (inplace_ != nullptr) return inplace_->PasteFromClipboard();
  if (!EnsureEditable(false) || clipboard_ == nullptr) return;
  bool doDefault = true;
  if (OnPaste) OnPaste(doDefault);
  if (!doDefault) return;
  const auto formats = RegisterEngineFormats(*clipboard_);
  try {
    if (auto rvf = clipboard_->GetData(formats.richDoc)) {
      PasteRvf(*rvf);
      return;
    }
    if (auto rtf = clipboard_->GetData(formats.richText)) {
      const std::u16string savedBasePath = RTFReadProperties.BasePath;
      if (auto html = clipboard_->GetData(formats.html)) RTFReadProperties.BasePath = BasePathFromHtml(*html);
      PasteRtf(*rtf);
      RTFReadProperties.BasePath = savedBasePath;
      return;
    }
    const bool unicodeStyle = Style() != nullptr && Style()->TextStyleAt(CurTextStyleNo).Unicode;
    if (clipboard_->HasFormat(kCfUnicodeText) && (unicodeStyle || !clipboard_->HasFormat(kCfText))) {
      PasteUnicodeText();
      return;
    }
    if (auto text = clipboard_->Text()) {
      const CodePageId codePage = Style() != nullptr ? Style()->CodePageOfStyle(CurTextStyleNo) : kCpAcp;
      InsertTextAtCaret(AnsiToUnicode(codePage, *text));
      return;
    }
    PastePictures();
  } catch (const std::exception&) {
    Beep();
  }
}

bool TCustomRichDocEdit::ImportRtfFileAtCaret(const std::string& fileName) {
  if (inplace_ != nullptr) return inplace_->ImportRtfFileAtCaret(fileName);
  return InsertRTFFile(RTFReadProperties, fileName) != kRtfFileError;
}

bool TCustomRichDocEdit::WriteRtfFile(const std::filesystem::path& fileName, bool selectionOnly) {
  TRVRTFWriteSettings settings;
  settings.RTFOptions = RTFOptions;
  const TColor background = Style() != nullptr ? Style()->Color : clWhite;
  return WriteRTFFile(data_, fileName, selectionOnly, background, nullptr, nullptr, settings);
}

}  // namespace varnolt
