#include "richtext/rtf/reader/RVRTFDingbats.h"

#include <unicode/utf16.h>

#include <array>
#include <iterator>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

constexpr char32_t kFirstCode = 0x20;
constexpr char32_t kPrivateBase = 0xF000;

// Codes 0x20..0xFF. Where the font's picture has an older, widely drawn
// Unicode character (bullets, check marks, boxes, arrowheads), that one is
// used rather than a newer look-alike few installed fonts have.
constexpr char32_t kWingdings[224] = {
    0x0020,  0x1F589, 0x2702,  0x2701,  0x1F453, 0x1F56D, 0x1F56E, 0x1F56F,  // 20
    0x1F57F, 0x2706,  0x1F582, 0x1F583, 0x1F4EA, 0x1F4EB, 0x1F4EC, 0x1F4ED,  // 28
    0x1F4C1, 0x1F4C2, 0x1F4C4, 0x1F5CF, 0x1F5D0, 0x1F5C4, 0x231B,  0x1F5AE,  // 30
    0x1F5B0, 0x1F5B2, 0x1F5B3, 0x1F5B4, 0x1F5AB, 0x1F5AC, 0x2707,  0x270D,   // 38
    0x1F58E, 0x270C,  0x1F44C, 0x1F44D, 0x1F44E, 0x261C,  0x261E,  0x261D,   // 40
    0x261F,  0x1F590, 0x263A,  0x1F610, 0x2639,  0x1F4A3, 0x2620,  0x1F3F3,  // 48
    0x1F3F1, 0x2708,  0x263C,  0x1F4A7, 0x2744,  0x1F546, 0x271E,  0x1F548,  // 50
    0x2720,  0x2721,  0x262A,  0x262F,  0x0950,  0x2638,  0x2648,  0x2649,   // 58
    0x264A,  0x264B,  0x264C,  0x264D,  0x264E,  0x264F,  0x2650,  0x2651,   // 60
    0x2652,  0x2653,  0x1F670, 0x1F675, 0x25CF,  0x1F53E, 0x25A0,  0x25A1,   // 68
    0x1F790, 0x2751,  0x2752,  0x2B27,  0x29EB,  0x25C6,  0x2756,  0x2B25,   // 70
    0x2327,  0x2353,  0x2318,  0x2740,  0x273F,  0x275D,  0x275E,  0x25AF,   // 78
    0x24EA,  0x2460,  0x2461,  0x2462,  0x2463,  0x2464,  0x2465,  0x2466,   // 80
    0x2467,  0x2468,  0x2469,  0x24FF,  0x2776,  0x2777,  0x2778,  0x2779,   // 88
    0x277A,  0x277B,  0x277C,  0x277D,  0x277E,  0x277F,  0x1F662, 0x1F660,  // 90
    0x1F661, 0x1F663, 0x1F65E, 0x1F65C, 0x1F65D, 0x1F65F, 0x00B7,  0x2022,   // 98
    0x25AA,  0x26AA,  0x1F786, 0x1F788, 0x25C9,  0x25CE,  0x1F53F, 0x25AA,   // A0
    0x25FB,  0x1F7C2, 0x2726,  0x2605,  0x2736,  0x2734,  0x2739,  0x2735,   // A8
    0x2BD0,  0x2316,  0x27E1,  0x2311,  0x2BD1,  0x272A,  0x2730,  0x1F550,  // B0
    0x1F551, 0x1F552, 0x1F553, 0x1F554, 0x1F555, 0x1F556, 0x1F557, 0x1F558,  // B8
    0x1F559, 0x1F55A, 0x1F55B, 0x2BB0,  0x2BB1,  0x2BB2,  0x2BB3,  0x2BB4,   // C0
    0x2BB5,  0x2BB6,  0x2BB7,  0x1F66A, 0x1F66B, 0x1F655, 0x1F654, 0x1F657,  // C8
    0x1F656, 0x1F650, 0x1F651, 0x1F652, 0x1F653, 0x232B,  0x2326,  0x2B98,   // D0
    0x27A2,  0x2B99,  0x2B9B,  0x2B88,  0x2B8A,  0x2B89,  0x2B8B,  0x1F868,  // D8
    0x1F86A, 0x1F869, 0x1F86B, 0x1F86C, 0x1F86D, 0x1F86F, 0x1F86E, 0x1F878,  // E0
    0x1F87A, 0x1F879, 0x1F87B, 0x1F87C, 0x1F87D, 0x1F87F, 0x1F87E, 0x21E6,   // E8
    0x21E8,  0x21E7,  0x21E9,  0x2B04,  0x21F3,  0x2B01,  0x2B00,  0x2B03,   // F0
    0x2B02,  0x1F8AC, 0x1F8AD, 0x2717,  0x2714,  0x2612,  0x2611,  0xF0FF,   // F8
};

// Webdings codes whose pictures have a Unicode character that installed
// fonts draw; the others keep their code.
struct TCodeCharacter {
  char32_t Code;
  char32_t Character;
};
constexpr TCodeCharacter kWebdings[] = {
    {0x20, 0x0020}, {0x33, 0x23F4}, {0x34, 0x23F5}, {0x35, 0x23F6}, {0x36, 0x23F7}, {0x37, 0x23EA},
    {0x38, 0x23E9}, {0x39, 0x23EE}, {0x3A, 0x23ED}, {0x3B, 0x23F8}, {0x3C, 0x23F9}, {0x3D, 0x23FA},
    {0x61, 0x2714}, {0x63, 0x2B1C}, {0x67, 0x2B1B}, {0x6E, 0x26AB}, {0x72, 0x2716}, {0x73, 0x2753},
    {0x77, 0x26F3}, {0x80, 0x2660}, {0x81, 0x2661}, {0x82, 0x2662}, {0x83, 0x2663}, {0x84, 0x2664},
    {0x85, 0x2665}, {0x86, 0x2666}, {0x87, 0x2667}, {0x98, 0x2605}, {0x99, 0x2606},
};

// The Symbol font's own encoding, codes 32..255.
constexpr char16_t kSymbolEncoding[] = {
#include "data/symbol-encoding.inc"
};
static_assert(std::size(kSymbolEncoding) == 224);

constexpr char16_t kZapfDingbats[] = {
#include "data/zapf-dingbats-encoding.inc"
};
static_assert(std::size(kZapfDingbats) == 224);

bool StartsWithName(std::u16string_view name, std::u16string_view prefix) {
  return name.size() >= prefix.size() && SameFontName(name.substr(0, prefix.size()), prefix);
}

}  // namespace

char16_t SymbolToUnicode(unsigned code) {
  return code >= kFirstCode && code <= 0xFF ? kSymbolEncoding[code - kFirstCode] : static_cast<char16_t>(code);
}

void MapSymbolBullet(std::u16string& text, std::u16string_view fontName) {
  if (text.size() != 1) return;
  char32_t code = text[0];
  const bool privateUse = code >= kPrivateBase + kFirstCode && code <= kPrivateBase + 0xFF;
  if (privateUse) code -= kPrivateBase;
  if (code < kFirstCode || code > 0xFF) return;
  if (SameFontName(fontName, u"Symbol")) {
    text.assign(1, SymbolToUnicode(static_cast<unsigned>(code)));
  } else if (const TRVRTFDingbatFont font = DingbatFontOf(fontName); font != TRVRTFDingbatFont::kNone) {
    text.clear();
    AppendDingbat(text, font, code);
  } else if (privateUse) {
    // Another symbol font's private-use code is its byte, which the office
    // suites show as the ANSI character (0x95 the bullet).
    text = AnsiToUnicode(1252, std::string(1, static_cast<char>(code)));
  }
}

TRVRTFDingbatFont DingbatFontOf(std::u16string_view fontName) {
  // "Wingdings 2", "Wingdings 3" draw other pictures at the same codes.
  if (SameFontName(fontName, u"Wingdings")) return TRVRTFDingbatFont::kWingdings;
  if (SameFontName(fontName, u"Webdings")) return TRVRTFDingbatFont::kWebdings;
  if (StartsWithName(fontName, u"Zapf Dingbats") || StartsWithName(fontName, u"ZapfDingbats") ||
      StartsWithName(fontName, u"ITC Zapf Dingbats") || SameFontName(fontName, u"Dingbats")) {
    return TRVRTFDingbatFont::kZapfDingbats;
  }
  return TRVRTFDingbatFont::kNone;
}

char32_t DingbatToUnicode(TRVRTFDingbatFont font, char32_t code) {
  char32_t byte = code;
  if (code >= kPrivateBase + kFirstCode && code <= kPrivateBase + 0xFF) byte = code - kPrivateBase;
  if (byte < kFirstCode || byte > 0xFF) return code;
  char32_t mapped = code;
  switch (font) {
    case TRVRTFDingbatFont::kNone: break;
    case TRVRTFDingbatFont::kWingdings: mapped = kWingdings[byte - kFirstCode]; break;
    case TRVRTFDingbatFont::kWebdings:
      for (const TCodeCharacter& entry : kWebdings) {
        if (entry.Code == byte) mapped = entry.Character;
      }
      break;
    case TRVRTFDingbatFont::kZapfDingbats: mapped = kZapfDingbats[byte - kFirstCode]; break;
  }
  // A code the table leaves to the font keeps what the document wrote.
  return mapped >= kPrivateBase + kFirstCode && mapped <= kPrivateBase + 0xFF ? code : mapped;
}

void AppendDingbat(std::u16string& out, TRVRTFDingbatFont font, char32_t code) {
  const char32_t character = DingbatToUnicode(font, code);
  if (character > 0xFFFF) {
    out.push_back(static_cast<char16_t>(U16_LEAD(character)));
    out.push_back(static_cast<char16_t>(U16_TRAIL(character)));
  } else {
    out.push_back(static_cast<char16_t>(character));
  }
}

}  // namespace varnolt
