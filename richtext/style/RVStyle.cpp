#include "richtext/style/RVStyle.h"

#include <algorithm>

namespace varnolt {

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kNavy = 0x800000;
constexpr TColor kMaroon = 0x000080;
constexpr TColor kGreen = 0x008000;

struct CharsetCodePage {
  std::uint8_t charset;
  CodePageId codePage;
};

constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},   {77, kCpMaccp}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},
    {136, 950},  {161, 1253},    {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251},    {222, 874},  {238, 1250}, {254, 1252}, {255, kCpOemcp},
};

// A 32 x 32 monochrome picture: a frame with both diagonals.
std::string MakeInvalidPicture() {
  constexpr int kSide = 32;
  constexpr int kRowBytes = kSide / 8;
  constexpr int kPaletteBytes = 8;
  constexpr int kHeaderBytes = 14 + 40 + kPaletteBytes;
  constexpr int kFileBytes = kHeaderBytes + kRowBytes * kSide;
  std::string bmp;
  auto put16 = [&bmp](std::uint32_t v) {
    for (int i = 0; i < 2; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put32 = [&bmp](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  bmp += "BM";
  put32(kFileBytes);
  put32(0);
  put32(kHeaderBytes);
  put32(40);
  put32(kSide);
  put32(kSide);
  put16(1);
  put16(1);
  put32(0);
  put32(kRowBytes * kSide);
  put32(3780);
  put32(3780);
  put32(2);
  put32(0);
  put32(0x00FFFFFF);  // colour 0: white
  put32(0x000000FF);  // colour 1: red
  for (int y = 0; y < kSide; ++y) {
    std::uint32_t row = 0;
    for (int x = 0; x < kSide; ++x) {
      const bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
      if (edge || x == y || x == kSide - 1 - y) row |= 0x80000000u >> x;
    }
    for (int i = 3; i >= 0; --i) bmp.push_back(static_cast<char>((row >> (8 * i)) & 0xFF));
  }
  return bmp;
}

}  // namespace

// --- text and paragraph tables ---

TFontInfo& TFontInfos::At(int index) { return InRange(index) ? Items(index) : InvalidItem(); }

const TFontInfo& TFontInfos::At(int index) const { return InRange(index) ? Items(index) : InvalidItem(); }

TFontInfo& TFontInfos::InvalidItem() const {
  if (!invalidItem_) {
    invalidItem_ = std::make_unique<TFontInfo>();
    if (Count() > 0) invalidItem_->Assign(Items(0));
    invalidItem_->BackColor = kRed;
    invalidItem_->Color = kWhite;
  }
  return *invalidItem_;
}

int TFontInfos::FindMatchingTextStyle(int baseStyleNo, const TCustomRVFontInfo& pattern,
                                      TRVFontInfoProperties compareMask) const {
  const TRVFontInfoProperties ignore = kRVAllFontInfoProperties - compareMask;
  // A base out of range names no style, so it is never the answer.
  if (InRange(baseStyleNo) && pattern.EqualsIgnoring(Items(baseStyleNo), ignore)) return baseStyleNo;
  for (int i = 0; i < Count(); ++i) {
    if (i != baseStyleNo && pattern.EqualsIgnoring(Items(i), ignore)) return i;
  }
  return -1;
}

int TFontInfos::FindCharsetVariant(int baseStyleNo, std::uint8_t charset) const {
  const TFontInfo& base = At(baseStyleNo);
  if (InRange(baseStyleNo) && base.Charset == charset && !base.Unicode) return baseStyleNo;
  const TRVFontInfoProperties ignore{rvfiCharset, rvfiUnicode};
  for (int i = 0; i < Count(); ++i) {
    if (i == baseStyleNo) continue;
    const TFontInfo& candidate = Items(i);
    if (!candidate.Unicode && candidate.Charset == charset && candidate.EqualsIgnoring(base, ignore)) return i;
  }
  return -1;
}

TParaInfo& TParaInfos::At(int index) { return InRange(index) ? Items(index) : InvalidItem(); }

const TParaInfo& TParaInfos::At(int index) const { return InRange(index) ? Items(index) : InvalidItem(); }

TParaInfo& TParaInfos::InvalidItem() const {
  if (!invalidItem_) {
    invalidItem_ = std::make_unique<TParaInfo>();
    TParaInfo& entry = *invalidItem_;
    if (Count() > 0) entry.Assign(Items(0));
    entry.LeftIndent = entry.RightIndent = entry.SpaceBefore = entry.SpaceAfter = 1;
    entry.Border.Style = rvbSingle;
    entry.Border.Color = kRed;
    entry.Border.Width = 2;
    entry.Border.BorderOffsets = TRVRect{1, 1, 1, 1};
  }
  return *invalidItem_;
}

int TParaInfos::FindMatchingParaStyle(int baseParaNo, const TCustomRVParaInfo& pattern,
                                      TRVParaInfoProperties1 compareMask) const {
  const TRVParaInfoProperties1 ignore = kRVAllParaInfoProperties1 - compareMask;
  if (InRange(baseParaNo) && pattern.EqualsIgnoring(Items(baseParaNo), ignore)) return baseParaNo;
  for (int i = 0; i < Count(); ++i) {
    if (i != baseParaNo && pattern.EqualsIgnoring(Items(i), ignore)) return i;
  }
  return -1;
}

// --- the style sheet ---

TRVStyle::TRVStyle() : InvalidPicture(MakeInvalidPicture()) {
  LoadDefaultParaStyles();
  LoadDefaultTextStyles();
}

void TRVStyle::LoadDefaultTextStyles() {
  struct DefaultTextStyle {
    const char16_t* name;
    TFontStyles style;
    TColor color;
    bool jump;
  };
  const DefaultTextStyle kDefaults[] = {
      {u"Normal text", {}, kRVColorWindowText, false},
      {u"Heading", {fsBold}, kBlue, false},
      {u"Subheading", {fsBold}, kNavy, false},
      {u"Keywords", {fsItalic}, kMaroon, false},
      {u"Jump 1", {fsUnderline}, kGreen, true},
      {u"Jump 2", {fsUnderline}, kGreen, true},
  };
  TextStyles.Clear();
  for (const DefaultTextStyle& entry : kDefaults) {
    TFontInfo& style = TextStyles.Add();
    style.SetStyleName(entry.name);
    style.Style = entry.style;
    style.Color = entry.color;
    if (entry.jump) {
      style.Jump = true;
      style.JumpCursor = JumpCursor;
    }
  }
}

void TRVStyle::LoadDefaultParaStyles() {
  ParaStyles.Clear();
  ParaStyles.Add();
  TParaInfo& centered = ParaStyles.Add();
  centered.SetStyleName(u"Centered");
  centered.Alignment = rvaCenter;
}

CodePageId TRVStyle::CodePageOfStyle(int styleNo) const {
  if (styleNo < 0) return DefCodePage;
  const std::uint8_t charset = TextStyleAt(styleNo).Charset;
  if (charset == kRVDefaultCharset) return DefCodePage;
  return CodePageOfCharset(charset);
}

CodePageId CodePageOfStyle(const TRVStyle* style, int styleNo) {
  return style == nullptr ? kCpAcp : style->CodePageOfStyle(styleNo);
}

CodePageId CodePageOfCharset(std::uint8_t charset) {
  for (const CharsetCodePage& entry : kCharsetCodePages) {
    if (entry.charset == charset) return entry.codePage;
  }
  return kCpAcp;
}

}  // namespace varnolt
