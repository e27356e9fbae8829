#include "richtext/docx/DocxRtf.h"

#include <array>
#include <cctype>

#include "platform/CodePage.h"

namespace varnolt {

namespace {

// Word's number formats as RTF's \levelnfc values.
int LevelNumberFormat(std::string_view format) {
  static constexpr std::pair<std::string_view, int> kFormats[] = {
      {"decimal", 0},      {"upperRoman", 1}, {"lowerRoman", 2}, {"upperLetter", 3},
      {"lowerLetter", 4},  {"ordinal", 5},    {"cardinalText", 6}, {"ordinalText", 7},
      {"decimalZero", 22}, {"bullet", 23},    {"none", 255},
  };
  for (const auto& [name, value] : kFormats) {
    if (format == name) return value;
  }
  return 0;
}

// Bullets in the symbol fonts' private range, as the characters they show.
char16_t ShownSymbol(char16_t unit) {
  if (unit < 0xF000 || unit > 0xF0FF) return unit;
  switch (unit) {
    case 0xF0A7: return u'\u25AA';
    case 0xF0D8: return u'\u27A2';
    case 0xF0FC: return u'\u2714';
    case 0xF06F: return u'o';
    default: return u'\u2022';
  }
}

void AppendHexByte(std::string& rtf, unsigned value) {
  static constexpr char kHex[] = "0123456789abcdef";
  rtf += "\\'";
  rtf += kHex[(value >> 4) & 15];
  rtf += kHex[value & 15];
}

// A level's text as RTF's \leveltext and \levelnumbers: the length first,
// each "%N" placeholder as the level number N-1, with its offsets listed.
void AppendLevelText(std::string& rtf, const TDocxLevel& level) {
  std::u16string text;
  std::string offsets;
  const std::u16string source = Utf8ToUtf16(level.Text);
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source[i] == u'%' && i + 1 < source.size() && source[i + 1] >= u'1' && source[i + 1] <= u'9') {
      // A level numbered "none" shows its text without numbers, as headings
      // with outline numbering turned off do.
      if (level.Format == "none") {
        ++i;
        continue;
      }
      offsets.push_back(static_cast<char>(text.size() + 1));
      text.push_back(static_cast<char16_t>(source[i + 1] - u'1'));
      ++i;
    } else {
      text.push_back(ShownSymbol(source[i]));
    }
  }
  if (text.size() > 250) text.resize(250);
  rtf += "{\\leveltext";
  AppendHexByte(rtf, static_cast<unsigned>(text.size()));
  for (const char16_t unit : text) {
    if (unit < 10) {
      AppendHexByte(rtf, unit);
    } else {
      AppendRtfText(rtf, Utf16ToUtf8(std::u16string(1, unit)));
    }
  }
  rtf += ";}{\\levelnumbers";
  for (const char offset : offsets) AppendHexByte(rtf, static_cast<unsigned char>(offset));
  rtf += ";}";
}

}  // namespace

void AppendRtfText(std::string& rtf, std::string_view utf8) {
  bool plain = true;
  for (const char c : utf8) {
    if (static_cast<unsigned char>(c) >= 0x80) plain = false;
  }
  auto appendUnit = [&](char16_t unit) {
    if (unit == u'\\' || unit == u'{' || unit == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(unit);
    } else if (unit == u'\t') {
      rtf += "\\tab ";
    } else if (unit >= 0x20 && unit < 0x80) {
      rtf += static_cast<char>(unit);
    } else if (unit >= 0x80) {
      rtf += "\\u";
      rtf += std::to_string(static_cast<std::int16_t>(unit));
      rtf += '?';
    }
  };
  if (plain) {
    for (const char c : utf8) appendUnit(static_cast<char16_t>(c));
    return;
  }
  for (const char16_t unit : Utf8ToUtf16(utf8)) appendUnit(unit);
}

std::string HighlightColor(std::string_view name) {
  static constexpr std::pair<std::string_view, std::string_view> kColors[] = {
      {"black", "000000"},     {"blue", "0000FF"},        {"cyan", "00FFFF"},      {"green", "00FF00"},
      {"magenta", "FF00FF"},   {"red", "FF0000"},         {"yellow", "FFFF00"},    {"white", "FFFFFF"},
      {"darkBlue", "000080"},  {"darkCyan", "008080"},    {"darkGreen", "008000"}, {"darkMagenta", "800080"},
      {"darkRed", "800000"},   {"darkYellow", "808000"},  {"darkGray", "808080"},  {"lightGray", "C0C0C0"},
  };
  for (const auto& [highlight, color] : kColors) {
    if (name == highlight) return std::string(color);
  }
  return {};
}

int TDocxRtfTables::Font(const std::string& name) {
  const auto [found, added] = fontIndex_.try_emplace(name, static_cast<int>(fonts_.size()));
  if (added) fonts_.push_back(name);
  return found->second;
}

int TDocxRtfTables::Color(std::string_view rrggbb) {
  if (rrggbb.size() != 6) return 0;
  for (const char c : rrggbb) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
  }
  const auto [found, added] = colorIndex_.try_emplace(std::string(rrggbb), static_cast<int>(colors_.size()) + 1);
  if (added) colors_.emplace_back(rrggbb);
  return found->second;
}

int TDocxRtfTables::List(std::int32_t numId, const TDocxNumbering& numbering) {
  if (const auto found = listIndex_.find(numId); found != listIndex_.end()) return found->second;
  const auto* levels = numbering.Levels(numId);
  if (!levels) return 0;
  lists_.emplace_back(numId, levels);
  const int index = static_cast<int>(lists_.size());
  listIndex_.emplace(numId, index);
  return index;
}

std::string TDocxRtfTables::ListTable() {
  if (lists_.empty()) return {};
  std::string rtf = "{\\*\\listtable";
  for (std::size_t i = 0; i < lists_.size(); ++i) {
    rtf += "{\\list\\listtemplateid" + std::to_string(i + 1);
    for (const auto& level : *lists_[i].second) {
      rtf += "{\\listlevel\\levelnfc" + std::to_string(LevelNumberFormat(level.Format));
      rtf += "\\leveljc" + std::string(level.Align == "center" ? "1" : level.Align == "right" ? "2" : "0");
      rtf += "\\levelfollow" + std::string(level.Follow == "space" ? "1" : level.Follow == "nothing" ? "2" : "0");
      rtf += "\\levelstartat" + std::to_string(level.Start);
      AppendLevelText(rtf, level);
      // Symbol fonts would show the bullets mapped above as other glyphs.
      if (level.Run.Font && level.Run.Font->find("Symbol") == std::string::npos &&
          level.Run.Font->find("Wingdings") == std::string::npos) {
        rtf += "\\f" + std::to_string(Font(*level.Run.Font));
      }
      if (level.Run.HalfPoints) rtf += "\\fs" + std::to_string(*level.Run.HalfPoints);
      if (level.Run.Bold.value_or(false)) rtf += "\\b";
      if (level.Para.Left) rtf += "\\li" + std::to_string(*level.Para.Left);
      if (level.Para.FirstLine) rtf += "\\fi" + std::to_string(*level.Para.FirstLine);
      rtf += "}";
    }
    rtf += "\\listid" + std::to_string(i + 1) + "}";
  }
  rtf += "}{\\*\\listoverridetable";
  for (std::size_t i = 0; i < lists_.size(); ++i) {
    rtf += "{\\listoverride\\listid" + std::to_string(i + 1) + "\\listoverridecount0\\ls" + std::to_string(i + 1) + "}";
  }
  return rtf + "}";
}

std::string TDocxRtfTables::Header() {
  const std::string lists = ListTable();  // first: the markers' fonts join the font table
  std::string rtf = "{\\fonttbl";
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    rtf += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
    AppendRtfText(rtf, fonts_[i]);
    rtf += ";}";
  }
  rtf += "}{\\colortbl;";
  for (const auto& color : colors_) {
    const unsigned value = static_cast<unsigned>(std::stoul(color, nullptr, 16));
    rtf += "\\red" + std::to_string((value >> 16) & 255) + "\\green" + std::to_string((value >> 8) & 255) + "\\blue" +
           std::to_string(value & 255) + ";";
  }
  return rtf + "}" + lists;
}

}  // namespace varnolt
