#pragma once
// Labels and the kinds built on them: fixed text drawn in a text style,
// numbered sequence items, footnotes and endnotes with their own text, and
// the reference inside a note's text that shows the note's number.
#include <cstdint>
#include <memory>
#include <string>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVItem.h"

namespace varnolt {

enum TRVLabelAlignment : std::uint8_t { rvlaLeft, rvlaRight, rvlaCenter };

class TRVLabelItemInfo : public TRVRectItemInfo {
 public:
  TRVLabelItemInfo(std::int32_t textStyleNo = 0, std::u16string text = {})
      : TRVLabelItemInfo(ItemKindLabel, textStyleNo, std::move(text)) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::int32_t TextStyleNo;
  std::u16string Text;
  TRVLabelAlignment Alignment = rvlaLeft;
  std::int32_t MinWidth = 0;  // pixels
  bool ProtectTextStyleNo = false;  // applying text styles leaves it alone

  bool IncludedInTextOnly() const override { return true; }
  void WritePlainText(TRVTextOutput& out) const override;

 protected:
  TRVLabelItemInfo(std::int32_t kind, std::int32_t textStyleNo, std::u16string text)
      : TRVRectItemInfo(kind), TextStyleNo(textStyleNo), Text(std::move(text)) {}
  TRVLabelItemInfo(const TRVLabelItemInfo&) = default;
};

// A label whose text is its number in the sequence of items with its name.
class TRVSeqItemInfo : public TRVLabelItemInfo {
 public:
  TRVSeqItemInfo(std::u16string seqName, TRVSeqType numberType, std::int32_t textStyleNo = 0)
      : TRVSeqItemInfo(ItemKindSequence, std::move(seqName), numberType, textStyleNo) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  std::u16string SeqName;
  TRVSeqType NumberType;
  bool Reset = false;  // restart the sequence at StartFrom
  std::int32_t StartFrom = 1;
  std::u16string FormatString;  // "%s" stands for the number; empty: the number alone
  std::int32_t Counter = 0;

  // Notes follow the style sheet's numbering types instead of their own.
  virtual TRVSeqType EffectiveNumberType(const TRVStyle* /*style*/) const { return NumberType; }
  // Sets Text from Counter.
  void UpdateText(const TRVStyle* style);

 protected:
  TRVSeqItemInfo(std::int32_t kind, std::u16string seqName, TRVSeqType numberType, std::int32_t textStyleNo)
      : TRVLabelItemInfo(kind, textStyleNo, {}), SeqName(std::move(seqName)), NumberType(numberType) {}
  TRVSeqItemInfo(const TRVSeqItemInfo&) = default;
};

// What a page field counts.
enum class TRVPageFieldKind : std::uint8_t { Page, NumPages, SectionPages };

// A label that a painter of pages sets to its page's number for each page;
// elsewhere it shows the text it was read with. Stored as a plain label.
class TRVPageFieldItemInfo : public TRVLabelItemInfo {
 public:
  TRVPageFieldItemInfo(TRVPageFieldKind field, std::int32_t textStyleNo, std::u16string text)
      : TRVLabelItemInfo(ItemKindLabel, textStyleNo, std::move(text)), Field(field) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;

  TRVPageFieldKind Field;
};

class TRVNoteItemInfo;

// The text of a footnote or endnote, owned by the note item.
class TRVNoteData : public TCustomRVData {
 public:
  explicit TRVNoteData(TRVNoteItemInfo* note) : note_(note) {}
  TRVNoteItemInfo* Note() const { return note_; }

 private:
  TRVNoteItemInfo* note_;
};

class TRVNoteItemInfo : public TRVSeqItemInfo {
 public:
  ~TRVNoteItemInfo() override;

  TRVNoteData& Document() const { return *document_; }

  int SubDocumentCount() const override { return 1; }
  TCustomRVData* SubDocument(int index) const override { return index == 0 ? document_.get() : nullptr; }

 protected:
  TRVNoteItemInfo(std::int32_t kind, const char16_t* seqName, std::int32_t textStyleNo);
  TRVNoteItemInfo(const TRVNoteItemInfo& source);

 private:
  std::unique_ptr<TRVNoteData> document_;
};

inline constexpr const char16_t* kFootnoteSeqName = u"@footnote@";
inline constexpr const char16_t* kEndnoteSeqName = u"@endnote@";

class TRVFootnoteItemInfo : public TRVNoteItemInfo {
 public:
  explicit TRVFootnoteItemInfo(std::int32_t textStyleNo = 0)
      : TRVNoteItemInfo(ItemKindFootnote, kFootnoteSeqName, textStyleNo) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;
  TRVSeqType EffectiveNumberType(const TRVStyle* style) const override;
};

class TRVEndnoteItemInfo : public TRVNoteItemInfo {
 public:
  explicit TRVEndnoteItemInfo(std::int32_t textStyleNo = 0)
      : TRVNoteItemInfo(ItemKindEndnote, kEndnoteSeqName, textStyleNo) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;
  TRVSeqType EffectiveNumberType(const TRVStyle* style) const override;
};

// Shows the number text of the note whose text holds it.
class TRVNoteReferenceItemInfo : public TRVLabelItemInfo {
 public:
  explicit TRVNoteReferenceItemInfo(std::int32_t textStyleNo = 0)
      : TRVLabelItemInfo(ItemKindNoteReference, textStyleNo, {}) {}
  std::unique_ptr<TCustomRVItemInfo> Clone() const override;
};

// Number text of a counter in a numbering type: decimal, bijective base-26
// letters (empty below 1), Roman numerals ("?" below 1).
std::u16string SeqNumberText(std::int32_t counter, TRVSeqType type);

}  // namespace varnolt
