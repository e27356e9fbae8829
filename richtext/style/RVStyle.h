#pragma once
// The style sheet: the tables of text, paragraph and list styles that items
// refer to by number, the style templates, and the settings shared by every
// view that uses the sheet. Style numbers are positions in the tables, so
// entries are only ever appended.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

// --- the base of every style entry ---

class TCustomRVInfo {
 public:
  virtual ~TCustomRVInfo() = default;

  std::int32_t BaseStyleNo() const { return baseStyleNo_; }
  const std::u16string& StyleName() const { return styleName_; }
  bool Standard() const { return standard_; }
  std::int32_t StyleTemplateId() const { return styleTemplateId_; }

  // The parts of style templates refuse these ("This property is not valid here").
  virtual void SetBaseStyleNo(std::int32_t value) { baseStyleNo_ = value; }
  virtual void SetStyleName(std::u16string value) { styleName_ = std::move(value); }
  virtual void SetStandard(bool value) { standard_ = value; }
  virtual void SetStyleTemplateId(std::int32_t value) { styleTemplateId_ = value; }

  // Copies every property that both entries have.
  virtual void Assign(const TCustomRVInfo& source);
  virtual bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const = 0;
  // Self is the entry in the sheet, other the incoming one whose next-style
  // link is a number of its own table, translated through map.
  virtual bool EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>& map) const;
  // Higher is more similar; self is the stored entry, other the candidate.
  virtual std::int32_t SimilarityScore(const TCustomRVInfo& other) const;

 protected:
  explicit TCustomRVInfo(std::u16string defaultName) : styleName_(std::move(defaultName)) {}
  TCustomRVInfo(const TCustomRVInfo&) = default;
  TCustomRVInfo& operator=(const TCustomRVInfo&) = default;

 private:
  std::int32_t baseStyleNo_ = -1;
  std::u16string styleName_;
  bool standard_ = true;
  std::int32_t styleTemplateId_ = -1;
};

// The text, paragraph and list parts of a style template refuse the
// properties that only entries of the tables have.
template <typename Base>
class TRVStyleTemplatePart : public Base {
 public:
  void SetBaseStyleNo(std::int32_t) override { Reject(); }
  void SetStyleName(std::u16string) override { Reject(); }
  void SetStandard(bool) override { Reject(); }
  void SetStyleTemplateId(std::int32_t) override { Reject(); }

 private:
  [[noreturn]] static void Reject() { throw ERichDocError("This property is not valid here"); }
};

// --- text styles ---

class TCustomRVFontInfo : public TCustomRVInfo {
 public:
  std::u16string FontName = u"Arial";
  std::int32_t Size = 10;  // points
  std::uint8_t Charset = kRVDefaultCharset;
  TFontStyles Style;
  TRVFontStylesEx StyleEx;
  std::int32_t VShift = 0;  // percent of Size, positive raises
  TColor Color = kRVColorWindowText;
  TColor BackColor = kRVColorNone;
  TColor HoverColor = kRVColorNone;
  TColor HoverBackColor = kRVColorNone;
  TRVHoverEffects HoverEffects;
  bool Jump = false;
  std::int16_t JumpCursor = 101;
  std::int32_t CharScale = 100;   // percent
  std::int32_t CharSpacing = 0;   // pixels
  TRVBiDiMode BiDiMode = rvbdUnspecified;
  TRVSubSuperScriptType SubSuperScriptType = rvsssNormal;
  TRVProtectOptions Protection;
  TRVTextOptions Options;
  TRVUnderlineType UnderlineType = rvutNormal;
  TColor UnderlineColor = kRVColorNone;
  TColor HoverUnderlineColor = kRVColorNone;

  void Assign(const TCustomRVInfo& source) override;
  bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const override;
  // Compares every property whose bit is clear in ignoreMask.
  virtual bool EqualsIgnoring(const TCustomRVFontInfo& other, TRVFontInfoProperties ignoreMask) const;
  std::int32_t SimilarityScore(const TCustomRVInfo& other) const override;
  // Copies exactly the properties named in mask.
  virtual void CopySelectedProperties(const TCustomRVFontInfo& source, TRVFontInfoProperties mask);

  void AssignToFont(TFont& font) const;
  void AssignFromFont(const TFont& font);

 protected:
  TCustomRVFontInfo() : TCustomRVInfo(u"Font Style") {}
  TCustomRVFontInfo(const TCustomRVFontInfo&) = default;
  TCustomRVFontInfo& operator=(const TCustomRVFontInfo&) = default;
};

class TFontInfo : public TCustomRVFontInfo {
 public:
  TFontInfo() = default;
  TFontInfo(const TFontInfo&) = default;
  TFontInfo& operator=(const TFontInfo&) = default;

  std::int32_t NextStyleNo = -1;  // -1: the same style
  bool Unicode = true;            // items of this style hold UTF-16 text
  TRVFontInfoProperties ModifiedProperties;

  void Assign(const TCustomRVInfo& source) override;
  bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const override;
  bool EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>& map) const override;
  bool EqualsIgnoring(const TCustomRVFontInfo& other, TRVFontInfoProperties ignoreMask) const override;
  void CopySelectedProperties(const TCustomRVFontInfo& source, TRVFontInfoProperties mask) override;
};

// The text part of a style template.
class TRVSTFontInfo : public TRVStyleTemplatePart<TCustomRVFontInfo> {};

// --- paragraph styles ---

struct TRVRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TRVRect&, const TRVRect&) = default;
};

struct TRVBooleanRect {
  bool Left = true;
  bool Top = true;
  bool Right = true;
  bool Bottom = true;
  friend bool operator==(const TRVBooleanRect&, const TRVBooleanRect&) = default;
};

struct TRVBorder {
  TRVBorderStyle Style = rvbNone;
  TColor Color = kRVColorWindowText;
  std::int32_t Width = 1;
  std::int32_t InternalWidth = 1;  // gap of double and triple borders
  TRVRect BorderOffsets;
  TRVBooleanRect VisibleBorders;
  friend bool operator==(const TRVBorder&, const TRVBorder&) = default;
};

struct TRVBackgroundRect {
  TColor Color = kRVColorNone;
  TRVRect BorderOffsets;
  friend bool operator==(const TRVBackgroundRect&, const TRVBackgroundRect&) = default;
};

struct TRVTabInfo {
  std::int32_t Position = 0;  // pixels
  TRVTabAlign Align = rvtaLeft;
  std::u16string Leader;  // empty: no leader

  // "Left at 96", "Right at 20 (......)".
  std::u16string DisplayName() const;
  friend bool operator==(const TRVTabInfo&, const TRVTabInfo&) = default;
};

// Kept sorted by ascending Position; every change of a position re-sorts.
class TRVTabInfos {
 public:
  int Count() const { return static_cast<int>(tabs_.size()); }
  // Checked: ERichDocError for an index out of range.
  const TRVTabInfo& Items(int index) const;
  // Inserts at its place by position and returns its index.
  int Add(const TRVTabInfo& tab);
  void Delete(int index);
  void Clear() { tabs_.clear(); }
  void SetPosition(int index, std::int32_t position);
  void SetAlign(int index, TRVTabAlign align);
  void SetLeader(int index, std::u16string leader);

  std::vector<TRVTabInfo>::const_iterator begin() const { return tabs_.begin(); }
  std::vector<TRVTabInfo>::const_iterator end() const { return tabs_.end(); }
  friend bool operator==(const TRVTabInfos&, const TRVTabInfos&) = default;

 private:
  std::vector<TRVTabInfo> tabs_;
};

class TCustomRVParaInfo : public TCustomRVInfo {
 public:
  std::int32_t FirstIndent = 0;  // relative to LeftIndent
  std::int32_t LeftIndent = 0;
  std::int32_t RightIndent = 0;
  std::int32_t SpaceBefore = 0;
  std::int32_t SpaceAfter = 0;
  std::int32_t LineSpacing = 100;  // percent for rvlsPercent, else pixels
  TRVLineSpacingType LineSpacingType = rvlsPercent;
  TRVAlignment Alignment = rvaLeft;
  TRVBorder Border;
  TRVBackgroundRect Background;
  TRVParaOptions Options;
  TRVBiDiMode BiDiMode = rvbdUnspecified;
  TRVTabInfos Tabs;

  void Assign(const TCustomRVInfo& source) override;
  bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const override;
  // Compares every property whose bit is clear in ignoreMask.
  virtual bool EqualsIgnoring(const TCustomRVParaInfo& other, TRVParaInfoProperties1 ignoreMask) const;
  std::int32_t SimilarityScore(const TCustomRVInfo& other) const override;
  virtual void CopySelectedProperties(const TCustomRVParaInfo& source, TRVParaInfoProperties1 mask1,
                                      TRVParaInfoProperties2 mask2);

 protected:
  TCustomRVParaInfo() : TCustomRVInfo(u"Paragraph Style") {}
  TCustomRVParaInfo(const TCustomRVParaInfo&) = default;
  TCustomRVParaInfo& operator=(const TCustomRVParaInfo&) = default;
};

class TParaInfo : public TCustomRVParaInfo {
 public:
  TParaInfo() = default;
  TParaInfo(const TParaInfo&) = default;
  TParaInfo& operator=(const TParaInfo&) = default;

  std::int32_t NextParaNo = -1;  // -1: the same style
  std::int32_t DefStyleNo = -1;  // -1: text style 0
  TRVParaInfoProperties1 ModifiedProperties1;
  TRVParaInfoProperties2 ModifiedProperties2;

  void Assign(const TCustomRVInfo& source) override;
  bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const override;
  bool EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>& map) const override;
  bool EqualsIgnoring(const TCustomRVParaInfo& other, TRVParaInfoProperties1 ignoreMask) const override;
  void CopySelectedProperties(const TCustomRVParaInfo& source, TRVParaInfoProperties1 mask1,
                              TRVParaInfoProperties2 mask2) override;
};

// The paragraph part of a style template.
class TRVSTParaInfo : public TRVStyleTemplatePart<TCustomRVParaInfo> {};

// --- list styles ---

using TRVMarkerFont = TFont;

struct TRVListLevel {
  TRVListType ListType = rvlstBullet;
  std::int32_t StartFrom = 1;
  const void* ImageList = nullptr;  // referenced, never owned
  std::int32_t ImageIndex = 0;
  std::string FormatString;        // 8-bit; "%0:s" stands for level 0's number
  std::u16string FormatStringW;
  std::int32_t LeftIndent = 0;
  std::int32_t FirstIndent = 10;
  std::int32_t MarkerIndent = 0;
  TRVMarkerAlignment MarkerAlignment = rvmaLeft;
  std::string Picture;  // the stored picture's bytes; empty for none
  TRVMarkerFont Font;
  TRVListLevelOptions Options{rvloContinuous, rvloLevelReset};

  bool HasNumbers() const;
  bool Equals(const TRVListLevel& other) const;
};

class TRVListLevelCollection {
 public:
  int Count() const { return static_cast<int>(levels_.size()); }
  // Checked: ERichDocError for an index out of range.
  TRVListLevel& Items(int index);
  const TRVListLevel& Items(int index) const;
  // nullptr for an index out of range.
  const TRVListLevel* Find(int index) const;
  TRVListLevel& Add();
  void Delete(int index);
  void Clear() { levels_.clear(); }

  std::vector<TRVListLevel>::const_iterator begin() const { return levels_.begin(); }
  std::vector<TRVListLevel>::const_iterator end() const { return levels_.end(); }

 private:
  std::vector<TRVListLevel> levels_;
};

class TRVListInfo : public TCustomRVInfo {
 public:
  TRVListInfo() : TCustomRVInfo(u"List Style") {}
  TRVListInfo(const TRVListInfo& source);
  TRVListInfo& operator=(const TRVListInfo& source);

  TRVListLevelCollection Levels;
  bool OneLevelPreview = false;

  // Drawn at random in 1..0x7FFFFFFE on first use.
  std::int32_t ListID() const;
  void SetListID(std::int32_t id) { listId_ = id; }

  // Copies the levels, not the identifier.
  void Assign(const TCustomRVInfo& source) override;
  bool EqualsFully(const TCustomRVInfo& other, bool ignoreNext) const override;
  bool EqualsUsingMap(const TCustomRVInfo& other, const std::vector<std::int32_t>& map) const override;
  bool HasNumbering() const;

 private:
  mutable std::int32_t listId_ = 0;
};

// The list part of a style template.
class TRVSTListInfo : public TRVStyleTemplatePart<TRVListInfo> {};

// --- the tables ---

// Owns its entries; references to them stay valid while entries are appended.
template <typename T>
class TCustomRVInfos {
 public:
  TCustomRVInfos() = default;
  TCustomRVInfos(const TCustomRVInfos&) = delete;
  TCustomRVInfos& operator=(const TCustomRVInfos&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // Checked: ERichDocError for an index out of range.
  T& Items(int index);
  const T& Items(int index) const;
  // nullptr for an index out of range.
  T* Find(int index) { return InRange(index) ? items_[static_cast<std::size_t>(index)].get() : nullptr; }
  const T* Find(int index) const { return InRange(index) ? items_[static_cast<std::size_t>(index)].get() : nullptr; }
  // A new entry with the class defaults; its number is the old count.
  T& Add();
  // A new entry copied from source.
  T& AddCopy(const T& source);
  void Clear() { items_.clear(); }
  // Replaces every entry by a copy of the other table's.
  void Assign(const TCustomRVInfos& source);

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 protected:
  bool InRange(int index) const { return index >= 0 && index < Count(); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

class TFontInfos : public TCustomRVInfos<TFontInfo> {
 public:
  // Never fails: an index out of range gives the conspicuous invalid-index entry.
  TFontInfo& At(int index);
  const TFontInfo& At(int index) const;
  int FindMatchingTextStyle(int baseStyleNo, const TCustomRVFontInfo& pattern,
                            TRVFontInfoProperties compareMask) const;
  int FindCharsetVariant(int baseStyleNo, std::uint8_t charset) const;

 private:
  TFontInfo& InvalidItem() const;
  mutable std::unique_ptr<TFontInfo> invalidItem_;
};

class TParaInfos : public TCustomRVInfos<TParaInfo> {
 public:
  // Never fails: an index out of range gives the conspicuous invalid-index entry.
  TParaInfo& At(int index);
  const TParaInfo& At(int index) const;
  int FindMatchingParaStyle(int baseParaNo, const TCustomRVParaInfo& pattern,
                            TRVParaInfoProperties1 compareMask) const;

 private:
  TParaInfo& InvalidItem() const;
  mutable std::unique_ptr<TParaInfo> invalidItem_;
};

class TRVListInfos : public TCustomRVInfos<TRVListInfo> {};

// --- style templates ---

class TRVStyleTemplateCollection;

class TRVStyleTemplate {
 public:
  explicit TRVStyleTemplate(TRVStyleTemplateCollection* collection) : collection_(collection) {}
  TRVStyleTemplate(const TRVStyleTemplate&) = delete;
  TRVStyleTemplate& operator=(const TRVStyleTemplate&) = delete;

  std::u16string Name;  // "Normal" makes it the collection's normal template
  TRVSTFontInfo TextStyle;
  TRVSTParaInfo ParaStyle;
  TRVFontInfoProperties ValidTextProperties;
  TRVParaInfoProperties1 ValidParaProperties1;
  TRVParaInfoProperties2 ValidParaProperties2;

  // Drawn at random on first read, unique within the collection.
  std::int32_t Id() const;
  std::int32_t ParentId() const { return parentId_; }
  // A parent chain that would come back to this template resets ParentId to
  // -1 and raises "Circular references are not allowed".
  void SetParentId(std::int32_t parentId);

 private:
  friend class TRVStyleTemplateCollection;
  TRVStyleTemplateCollection* collection_;
  mutable std::int32_t id_ = 0;
  std::int32_t parentId_ = -1;
};

class TRVStyleTemplateCollection {
 public:
  TRVStyleTemplateCollection() = default;
  TRVStyleTemplateCollection(const TRVStyleTemplateCollection&) = delete;
  TRVStyleTemplateCollection& operator=(const TRVStyleTemplateCollection&) = delete;

  std::u16string DefStyleName = u"Style %d";

  int Count() const { return static_cast<int>(templates_.size()); }
  // nullptr for an index out of range.
  TRVStyleTemplate* Find(int index);
  const TRVStyleTemplate* Find(int index) const;
  TRVStyleTemplate* FindById(std::int32_t id);
  const TRVStyleTemplate* FindById(std::int32_t id) const;
  // A new template named after DefStyleName with the next free number.
  TRVStyleTemplate& Add();
  void Clear() { templates_.clear(); }
  // The template named "Normal", nullptr when there is none.
  const TRVStyleTemplate* NormalStyle() const;

 private:
  friend class TRVStyleTemplate;
  bool IdTaken(std::int32_t id, const TRVStyleTemplate* except) const;
  std::vector<std::unique_ptr<TRVStyleTemplate>> templates_;
};

// --- the style sheet ---

class TRVStyle {
 public:
  // Holds the default content: six text styles, two paragraph styles.
  TRVStyle();
  TRVStyle(const TRVStyle&) = delete;
  TRVStyle& operator=(const TRVStyle&) = delete;

  TFontInfos TextStyles;
  TParaInfos ParaStyles;
  TRVListInfos ListStyles;
  TRVStyleTemplateCollection StyleTemplates;

  // Below 1 text insertion makes tab items; otherwise a tab becomes this many spaces.
  std::int32_t SpacesInTab = 0;
  std::int32_t DefTabWidth = 48;
  std::int32_t DefUnicodeStyle = -1;
  // Code page of 8-bit text in styles of the default charset; 0 the system's.
  CodePageId DefCodePage = kCpAcp;
  std::int16_t JumpCursor = 101;
  std::int16_t LineSelectCursor = 106;
  bool FullRedraw = false;
  bool UseSound = true;
  TColor Color = kRVColorWindow;
  TColor HoverColor = kRVColorNone;
  TColor CurrentItemColor = kRVColorNone;
  TColor SelColor = kRVColorHighlight;
  TColor InactiveSelColor = kRVColorHighlight;
  TColor SelTextColor = kRVColorHighlightText;
  TColor InactiveSelTextColor = kRVColorHighlightText;
  TColor CheckpointColor = 0x008000;
  TColor CheckpointEvColor = 0x00FF00;
  TColor PageBreakColor = kRVColorButtonShadow;
  TColor SoftPageBreakColor = kRVColorButtonFace;
  TColor LiveSpellingColor = 0x0000FF;
  TRVSelectionMode SelectionMode = rvsmWord;
  TRVSelectionStyle SelectionStyle = rvssItems;
  TColor FieldHighlightColor = kRVColorButtonFace;
  TRVFieldHighlightType FieldHighlightType = rvfhCurrent;
  TRVSeqType FootnoteNumbering = rvseqDecimal;
  TRVSeqType EndnoteNumbering = rvseqLowerRoman;
  bool FootnotePageReset = true;
  // Shown for pictures that cannot be drawn: a 32 x 32 monochrome BMP file.
  std::string InvalidPicture;

  // Never fail: out-of-range numbers give the invalid-index entries.
  TFontInfo& TextStyleAt(int index) { return TextStyles.At(index); }
  const TFontInfo& TextStyleAt(int index) const { return TextStyles.At(index); }
  TParaInfo& ParaStyleAt(int index) { return ParaStyles.At(index); }
  const TParaInfo& ParaStyleAt(int index) const { return ParaStyles.At(index); }

  TFontInfo& AppendTextStyle() { return TextStyles.Add(); }
  TParaInfo& AppendParaStyle() { return ParaStyles.Add(); }
  TRVListInfo& AppendListStyle() { return ListStyles.Add(); }

  int FindMatchingTextStyle(int baseStyleNo, const TCustomRVFontInfo& pattern,
                            TRVFontInfoProperties compareMask) const {
    return TextStyles.FindMatchingTextStyle(baseStyleNo, pattern, compareMask);
  }
  int FindCharsetVariant(int baseStyleNo, std::uint8_t charset) const {
    return TextStyles.FindCharsetVariant(baseStyleNo, charset);
  }
  int FindMatchingParaStyle(int baseParaNo, const TCustomRVParaInfo& pattern,
                            TRVParaInfoProperties1 compareMask) const {
    return ParaStyles.FindMatchingParaStyle(baseParaNo, pattern, compareMask);
  }

  void LoadDefaultTextStyles();
  void LoadDefaultParaStyles();

  // Code page of 8-bit text in text style styleNo (0 is the system's).
  CodePageId CodePageOfStyle(int styleNo) const;
};

// As the member, and 0 when there is no style sheet.
CodePageId CodePageOfStyle(const TRVStyle* style, int styleNo);
// The code page of a Windows charset; 0 (the system's) for any other.
CodePageId CodePageOfCharset(std::uint8_t charset);

// --- bringing a stored table into the sheet ---

enum TRVStyleMergeMode : std::uint8_t {
  rvmmMerge,   // reuse equal entries, append the others
  rvmmMap,     // append nothing, take the most similar entry
  rvmmAppend,  // append every entry
};

// Told of every entry appended by a merge, with its new number.
using TRVStyleAddedEvent = std::function<void(TCustomRVInfo& entry, std::int32_t number)>;

// map receives one target number per source entry, in source order. textMap
// renumbers the DefStyleNo of appended paragraph styles when given.
void MergeStyleTable(TFontInfos& target, const TFontInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map);
void MergeStyleTable(TParaInfos& target, const TParaInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map,
                     const std::vector<std::int32_t>* textMap);
void MergeStyleTable(TRVListInfos& target, const TRVListInfos& source, TRVStyleMergeMode mode,
                     const TRVStyleAddedEvent& document, std::vector<std::int32_t>& map);

// --- template members ---

template <typename T>
T& TCustomRVInfos<T>::Items(int index) {
  if (!InRange(index)) throw ERichDocError("Style index is out of bounds");
  return *items_[static_cast<std::size_t>(index)];
}

template <typename T>
const T& TCustomRVInfos<T>::Items(int index) const {
  if (!InRange(index)) throw ERichDocError("Style index is out of bounds");
  return *items_[static_cast<std::size_t>(index)];
}

template <typename T>
T& TCustomRVInfos<T>::Add() {
  items_.push_back(std::make_unique<T>());
  return *items_.back();
}

template <typename T>
T& TCustomRVInfos<T>::AddCopy(const T& source) {
  items_.push_back(std::make_unique<T>(source));
  return *items_.back();
}

template <typename T>
void TCustomRVInfos<T>::Assign(const TCustomRVInfos& source) {
  if (&source == this) return;
  std::vector<std::unique_ptr<T>> copies;
  copies.reserve(source.items_.size());
  for (const auto& entry : source.items_) copies.push_back(std::make_unique<T>(*entry));
  items_ = std::move(copies);
}

}  // namespace varnolt
