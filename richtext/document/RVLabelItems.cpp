#include "richtext/document/RVLabelItems.h"

#include <array>
#include <utility>

#include "richtext/document/CRVDataNumbering.h"

namespace varnolt {

// --- labels ---

std::unique_ptr<TCustomRVItemInfo> TRVLabelItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVLabelItemInfo(*this));
}

void TRVLabelItemInfo::WritePlainText(TRVTextOutput& out) const { out.WriteUnicode(Text); }

std::unique_ptr<TCustomRVItemInfo> TRVPageFieldItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVPageFieldItemInfo(*this));
}

// --- sequences ---

std::unique_ptr<TCustomRVItemInfo> TRVSeqItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVSeqItemInfo(*this));
}

void TRVSeqItemInfo::UpdateText(const TRVStyle* style) {
  std::u16string number = SeqNumberText(Counter, EffectiveNumberType(style));
  if (FormatString.empty()) {
    Text = std::move(number);
    return;
  }
  auto formatted = FormatWithStrings(FormatString, {number}, false);
  Text = formatted ? std::move(*formatted) : FormatString;
}

namespace {

std::u16string DecimalText(std::int32_t n) {
  std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string AlphaText(std::int32_t n, char16_t first) {
  std::u16string text;
  std::int64_t rest = n;
  while (rest > 0) {
    --rest;
    text.insert(text.begin(), static_cast<char16_t>(first + rest % 26));
    rest /= 26;
  }
  return text;
}

std::u16string RomanText(std::int32_t n, bool lower) {
  if (n < 1) return u"?";
  static constexpr std::array<std::pair<int, const char16_t*>, 13> kNumerals = {{
      {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
      {40, u"XL"}, {10, u"X"}, {9, u"IX"}, {5, u"V"}, {4, u"IV"}, {1, u"I"},
  }};
  std::u16string text;
  std::int32_t rest = n;
  for (const auto& [value, letters] : kNumerals) {
    while (rest >= value) {
      text += letters;
      rest -= value;
    }
  }
  if (lower) {
    for (char16_t& c : text) c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return text;
}

}  // namespace

std::u16string SeqNumberText(std::int32_t counter, TRVSeqType type) {
  switch (type) {
    case rvseqLowerAlpha: return AlphaText(counter, u'a');
    case rvseqUpperAlpha: return AlphaText(counter, u'A');
    case rvseqLowerRoman: return RomanText(counter, true);
    case rvseqUpperRoman: return RomanText(counter, false);
    case rvseqDecimal: break;
  }
  return DecimalText(counter);
}

// --- notes ---

TRVNoteItemInfo::TRVNoteItemInfo(std::int32_t kind, const char16_t* seqName, std::int32_t textStyleNo)
    : TRVSeqItemInfo(kind, seqName, rvseqDecimal, textStyleNo), document_(std::make_unique<TRVNoteData>(this)) {}

TRVNoteItemInfo::TRVNoteItemInfo(const TRVNoteItemInfo& source)
    : TRVSeqItemInfo(source), document_(std::make_unique<TRVNoteData>(this)) {
  const TRVNoteData& from = source.Document();
  TRVItemList copies;
  copies.reserve(static_cast<std::size_t>(from.CountItems()));
  for (int i = 0; i < from.CountItems(); ++i) copies.push_back(from.ItemAt(i).Clone());
  document_->InsertItemsAt(0, std::move(copies));
}

TRVNoteItemInfo::~TRVNoteItemInfo() = default;

std::unique_ptr<TCustomRVItemInfo> TRVFootnoteItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVFootnoteItemInfo(*this));
}

TRVSeqType TRVFootnoteItemInfo::EffectiveNumberType(const TRVStyle* style) const {
  return style != nullptr ? style->FootnoteNumbering : rvseqDecimal;
}

std::unique_ptr<TCustomRVItemInfo> TRVEndnoteItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVEndnoteItemInfo(*this));
}

TRVSeqType TRVEndnoteItemInfo::EffectiveNumberType(const TRVStyle* style) const {
  return style != nullptr ? style->EndnoteNumbering : rvseqLowerRoman;
}

std::unique_ptr<TCustomRVItemInfo> TRVNoteReferenceItemInfo::Clone() const {
  return std::unique_ptr<TCustomRVItemInfo>(new TRVNoteReferenceItemInfo(*this));
}

}  // namespace varnolt
