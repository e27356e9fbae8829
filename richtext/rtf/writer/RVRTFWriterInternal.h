#pragma once
// The RTF writer's working parts: a buffered sink, text escaping, the
// tables the outermost call shares with every nested one, and the state of
// one call over one document.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "richtext/style/RVStyle.h"

namespace varnolt {

class TGraphic;
class TRVLabelItemInfo;
class TRVSeqItemInfo;
class TRVNoteItemInfo;
class TRVTableItemInfo;

// Collects output and hands it to the caller's sink in large pieces.
class TRVRTFSink {
 public:
  explicit TRVRTFSink(OutputStream& out) : out_(out) {}

  void Put(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushSize) Flush();
  }
  void Put(char byte) {
    buffer_.push_back(byte);
    if (buffer_.size() >= kFlushSize) Flush();
  }
  // count characters below 128, the k-th given by charAt(k); in pieces, so
  // that a long run neither grows the buffer nor delays the output.
  template <typename CharAt>
  void PutEach(std::size_t count, CharAt charAt) {
    for (std::size_t done = 0; done < count;) {
      const std::size_t at = buffer_.size();
      const std::size_t piece = std::min(count - done, kFlushSize);
      buffer_.resize(at + piece);
      for (std::size_t k = 0; k < piece; ++k) buffer_[at + k] = static_cast<char>(charAt(done + k));
      done += piece;
      if (buffer_.size() >= kFlushSize) Flush();
    }
  }
  void PutNumber(std::int64_t value);
  // Output from here on stays in the buffer until EndRecording, which gives
  // it from the mark BeginRecording returned.
  std::size_t BeginRecording() {
    recording_ = true;
    return buffer_.size();
  }
  std::string EndRecording(std::size_t mark) {
    recording_ = false;
    std::string recorded = buffer_.substr(mark);
    if (buffer_.size() >= kFlushSize) Flush();
    return recorded;
  }
  // A backslash, the keyword and the number: "\li120".
  void PutKeyword(std::string_view keyword, std::int64_t value);
  void Flush();

 private:
  static constexpr std::size_t kFlushSize = 64 * 1024;
  OutputStream& out_;
  std::string buffer_;
  bool recording_ = false;
};

struct TRVRTFTextEscaping {
  CodePageId CodePage = kCpAcp;
  bool Raw = false;              // braces and backslashes go out as they are
  bool Fallback = true;          // 8-bit bytes after every "\u"
  bool DoubleBackslash = false;  // a backslash becomes four (field targets)
};

// Turns text into RTF: keywords for special characters, "\u" with 8-bit
// fallbacks for the rest, "\'hh" for bytes outside 32..127.
class TRVRTFEscaper {
 public:
  explicit TRVRTFEscaper(int headerSkipCount) : headerSkipCount_(headerSkipCount) {}

  void Ansi(TRVRTFSink& sink, std::string_view bytes, bool raw) const;
  void Text(TRVRTFSink& sink, std::u16string_view text, const TRVRTFTextEscaping& escaping);
  // The same for UTF-16LE bytes, as text items keep them.
  void TextBytes(TRVRTFSink& sink, std::string_view utf16le, const TRVRTFTextEscaping& escaping);

 private:
  static void AnsiByte(TRVRTFSink& sink, unsigned char byte, bool raw);
  template <typename UnitAt>
  void Units(TRVRTFSink& sink, std::size_t count, UnitAt unitAt, const TRVRTFTextEscaping& escaping);
  // A character as "\\u" and its escaped 8-bit fallback, made once per
  // character and escaping; the fallback's length is what "\\uc" gives.
  struct TUnicodeEscape {
    std::string Written;
    int FallbackLength = 0;
  };
  const TUnicodeEscape& UnicodeEscape(char16_t unit, const TRVRTFTextEscaping& escaping);

  int headerSkipCount_;
  std::unordered_map<std::uint64_t, TUnicodeEscape> unicodeEscapes_;
};

struct TRVRTFFontEntry {
  std::u16string Name;
  std::uint8_t Charset = kRVDefaultCharset;
};

// The per-list numbers the list tables and the markers agree on.
struct TRVRTFListNumbers {
  std::int32_t TemplateId = 0;
  std::int32_t ListId = 0;
  std::int32_t RestartCount = 1;
  std::int32_t FirstOverride = 1;
};

// State of one call over one document.
struct TRVRTFCall {
  explicit TRVRTFCall(const TCustomRVData& data) : Data(data) {}

  const TCustomRVData& Data;
  int Level = 0;
  bool Complete = false;
  bool SelectionOnly = false;
  TRVPosition Start;
  TRVPosition End;
  int LastParaStyle = -1;
  const TRVListLevel* LevelInEffect = nullptr;
  int LastTextStyle = -1;
  int BookmarkCounter = 0;
  bool NoParaBreak = true;
};

class TRVRTFWriter {
 public:
  TRVRTFWriter(TRVRTFSink& sink, const TRVStyle& style, const TRVRTFWriteSettings& settings, std::u16string path);

  // The outermost call: tables, header, body and the closing brace.
  void WriteComplete(const TCustomRVData& data, bool selectionOnly, TColor color, const TCustomRVData* headerDoc,
                     const TCustomRVData* footerDoc);
  // A cell, note, header or footer, with the shared tables.
  void WriteNested(const TCustomRVData& data, int level);

 private:
  friend class TRVRTFTableWriter;

  // RVRTFWriter.cpp: the procedure and the items.
  bool FindRange(TRVRTFCall& call) const;
  void WriteBody(TRVRTFCall& call);
  void WriteSelectionMarker(TRVRTFCall& call);
  void WriteItems(TRVRTFCall& call);
  bool SkippedAtBoundary(const TRVRTFCall& call, int index) const;
  void WriteParagraphStart(TRVRTFCall& call, int index);
  bool EndsAtParagraphEnd(const TRVRTFCall& call) const;
  void WriteBookmark(TRVRTFCall& call, const TRVCPInfo& checkpoint);

  // RVRTFWriterItems.cpp: hyperlinks and the content of each item kind.
  bool WriteLinkStart(TRVRTFCall& call, int index);
  void WriteContent(TRVRTFCall& call, int index);
  int ItemTextStyle(const TRVRTFCall& call, int index) const;
  bool TakenOverByHook(const TRVRTFCall& call, int index);
  void WriteItemText(TRVRTFCall& call, int index, int textStyle);
  void WriteItemOutput(TRVRTFCall& call, int index);
  void WriteBreak(const TRVRTFCall& call, const TRVBreakItemInfo& line);
  void WriteMarker(const TRVMarkerItemInfo& marker);
  void WriteLabelText(const TRVLabelItemInfo& label);
  void WriteSequence(const TRVSeqItemInfo& sequence);
  void WriteNote(const TRVNoteItemInfo& note, bool endnote);
  void WriteControl(const TRVControlItemInfo& control);

  // RVRTFWriterProps.cpp: paragraph and character properties.
  void WriteParaProperties(TRVRTFCall* call, int paraNo, const TRVListLevel* markerLevel);
  void WriteParaKeywords(const TRVRTFCall* call, int paraNo, const TRVListLevel* markerLevel);
  void WriteParaIndents(const TParaInfo& para, const TRVListLevel* markerLevel);
  void WriteParaBorder(const TParaInfo& para);
  void WriteCharProperties(TRVRTFCall* call, int styleNo);
  void WriteCharKeywords(bool inStyleSheet, int styleNo);
  template <typename Write>
  void WriteRemembered(std::string& kept, Write write);
  void WriteMarkerFont(const TRVListLevel& level);
  void WriteExtra(TRVRTFSaveArea area, const void* obj, std::int32_t index1, std::int32_t index2, bool inStyleSheet);
  void WriteStyleReference(int paraNo);

  // RVRTFWriterHeaderTables.cpp: preparation and the header.
  void Prepare(const TCustomRVData& data, TColor color, const TCustomRVData* headerDoc,
               const TCustomRVData* footerDoc);
  void PrepareFonts();
  void PrepareColors(const TCustomRVData& data, TColor color, const TCustomRVData* headerDoc,
                     const TCustomRVData* footerDoc);
  void CollectItemColors(const TCustomRVData& data);
  void CollectTableColors(const TRVTableItemInfo& table);
  void AddBorderColors(int style, TColor color, TColor lightColor);
  void PrepareLists(const TCustomRVData& data, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc);
  void WriteHeader(const TCustomRVData& data, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc);
  void WriteNoteSeparators(const TCustomRVData& data);
  void WriteDocParameters();
  void WriteDocInfo();
  void WriteFontTable();
  void WriteColorTable();
  void WriteStyleSheet();
  void WriteListTable();
  void WriteListLevel(const TRVListInfo& list, int listNo, int levelNo, const TRVListLevel& level);
  void WriteLevelText(const TRVListLevel& level);
  void WriteListOverrides();
  void WriteHeaderFooter(const char* opening, const TCustomRVData* doc);
  int FindFont(const std::u16string& name, std::uint8_t charset) const;

  // RVRTFWriterPictures.cpp
  void WritePicture(const TGraphic* graphic, std::int32_t widthOverride, std::int32_t heightOverride);
  void WriteImageListImage(std::int32_t imageListTag, const void* imageList, std::int32_t index);
  void WritePictureScale(const TGraphic& graphic, std::int32_t widthOverride, std::int32_t heightOverride);
  void WritePictureBody(const TGraphic& graphic);
  void WriteBitmapPicture(const TBitmap& bitmap, bool allowPng, bool forceHex);
  void WritePictureData(std::string_view bytes, bool forceHex);

  // RVRTFWriterTableRows.cpp
  void WriteTable(TRVRTFCall& call, const TRVTableItemInfo& table);

 public:
  // Shared by the parts above.
  std::int32_t Twips(double pixels) const;
  int ColorIndex(TColor color) const;
  void AddColor(TColor color);
  // The font's number, 0 when it is not in the table.
  int FontNumber(const std::u16string& name, std::uint8_t charset) const;
  int AddFont(const std::u16string& name, std::uint8_t charset);
  int TextFontNumber(int styleNo) const;
  bool Option(TRVRTFOption option) const { return settings_.RTFOptions.Contains(option); }
  int ParaStyleCount() const { return style_.ParaStyles.Count(); }
  int PixelsPerInch() const { return pixelsPerInch_; }
  double TwipsPerPixel() const { return twipsPerPixel_; }
  void EscapeName(std::u16string_view text, CodePageId codePage);
  void EscapeFieldText(std::u16string_view text, CodePageId codePage, bool doubleBackslash = false);

  TRVRTFSink& Sink() { return sink_; }
  const TRVStyle& Style() const { return style_; }
  const TRVRTFWriteSettings& Settings() const { return settings_; }
  const std::u16string& Path() const { return path_; }

 private:
  TRVRTFSink& sink_;
  const TRVStyle& style_;
  const TRVRTFWriteSettings& settings_;
  std::u16string path_;
  int pixelsPerInch_;
  double twipsPerPixel_;
  TRVRTFEscaper escaper_;

  std::vector<TColor> colors_;
  std::unordered_map<TColor, int> colorIndex_;
  std::vector<TRVRTFFontEntry> fonts_;
  std::vector<int> styleFonts_;
  std::vector<TRVRTFListNumbers> lists_;
  std::vector<const TRVMarkerItemInfo*> restartMarkers_;  // in writing order
  std::unordered_map<const TRVMarkerItemInfo*, std::int32_t> markerOverrides_;
  // The body's keywords of each text style, and of each paragraph style with
  // its marker's level at a nesting level, once written: the tables they
  // refer to are complete before the body starts.
  std::vector<std::string> charKeywords_;
  std::map<std::tuple<int, const TRVListLevel*, int>, std::string> paraKeywords_;
};

// Language identifier of a Windows charset, 0 for the neutral ones.
std::int32_t LanguageOfCharset(std::uint8_t charset);
// Whether a level's marker is drawn with its font.
bool LevelHasFont(const TRVListLevel& level);
// Decimal to upper Roman: the levels a restart can reset.
bool LevelIsNumbered(const TRVListLevel& level);
// Whether the document, or a document held by one of its items, has an item
// of each of the two kinds; one walk for both.
std::pair<bool, bool> HoldsItemKinds(const TCustomRVData& data, std::int32_t first, std::int32_t second);

}  // namespace varnolt
