#include "richtext/sheet/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace varnolt {

namespace {

enum class TTokenKind : std::uint8_t {
  kLiteral,
  kDigit,      // 0, # or ?
  kPoint,
  kComma,      // thousands separator or, after the last digit, a scale by 1000
  kPercent,
  kExponent,   // E+ or E-, its digits counted
  kDatePart,   // y, m, d, h, s runs and [h], [m], [s]
  kAmPm,
  kSubSecond,  // the 0s after seconds' point
  kGeneral,
  kText,
};

struct TToken {
  TTokenKind kind;
  std::string text;  // the literal, the date part, or the placeholder
  int count = 0;     // exponent digits, sub-second digits
  bool elapsed = false;
};

using TSection = std::vector<TToken>;

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

void AddLiteral(TSection& section, std::string_view text) {
  if (!section.empty() && section.back().kind == TTokenKind::kLiteral) {
    section.back().text += text;
  } else {
    section.push_back({TTokenKind::kLiteral, std::string(text)});
  }
}

// [$€-407] shows its symbol; [h], [mm], [ss] are elapsed time; colours,
// conditions and locales show nothing.
void AddBracket(TSection& section, std::string_view inside) {
  if (inside.starts_with('$')) {
    AddLiteral(section, inside.substr(1, inside.find('-') == std::string_view::npos ? inside.npos : inside.find('-') - 1));
    return;
  }
  if (!inside.empty() && std::all_of(inside.begin(), inside.end(), [&](char c) {
        return std::tolower(static_cast<unsigned char>(c)) == std::tolower(static_cast<unsigned char>(inside[0]));
      })) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(inside[0])));
    if (letter == 'h' || letter == 'm' || letter == 's') {
      section.push_back({TTokenKind::kDatePart, std::string(1, letter), 0, true});
    }
  }
}

size_t RunOf(std::string_view code, size_t at) {
  size_t end = at;
  const int letter = std::tolower(static_cast<unsigned char>(code[at]));
  while (end < code.size() && std::tolower(static_cast<unsigned char>(code[end])) == letter) ++end;
  return end - at;
}

TSection ParseSection(std::string_view code) {
  TSection section;
  for (size_t i = 0; i < code.size();) {
    const char c = code[i];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"') {
      const size_t end = code.find('"', i + 1);
      AddLiteral(section, code.substr(i + 1, (end == code.npos ? code.size() : end) - i - 1));
      i = end == code.npos ? code.size() : end + 1;
    } else if (c == '\\' || c == '!') {
      if (i + 1 < code.size()) AddLiteral(section, code.substr(i + 1, 1));
      i += 2;
    } else if (c == '_') {
      AddLiteral(section, " ");
      i += 2;
    } else if (c == '*') {
      i += 2;
    } else if (c == '[') {
      const size_t end = code.find(']', i);
      if (end == code.npos) break;
      AddBracket(section, code.substr(i + 1, end - i - 1));
      i = end + 1;
    } else if (c == '0' || c == '#' || c == '?') {
      section.push_back({TTokenKind::kDigit, std::string(1, c)});
      ++i;
    } else if (c == '.') {
      section.push_back({TTokenKind::kPoint, "."});
      ++i;
    } else if (c == ',') {
      section.push_back({TTokenKind::kComma, ","});
      ++i;
    } else if (c == '%') {
      section.push_back({TTokenKind::kPercent, "%"});
      ++i;
    } else if (lower == 'e' && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
      size_t end = i + 2;
      while (end < code.size() && (code[end] == '0' || code[end] == '#')) ++end;
      section.push_back({TTokenKind::kExponent, std::string(1, code[i + 1]), static_cast<int>(end - i - 2)});
      i = end;
    } else if (StartsWithNoCase(code, i, "am/pm") || StartsWithNoCase(code, i, "a/p")) {
      const size_t length = StartsWithNoCase(code, i, "am/pm") ? 5 : 3;
      section.push_back({TTokenKind::kAmPm, std::string(code.substr(i, length))});
      i += length;
    } else if (StartsWithNoCase(code, i, "general")) {
      section.push_back({TTokenKind::kGeneral, ""});
      i += 7;
    } else if (c == '@') {
      section.push_back({TTokenKind::kText, ""});
      ++i;
    } else if (lower == 'y' || lower == 'm' || lower == 'd' || lower == 'h' || lower == 's') {
      const size_t run = RunOf(code, i);
      section.push_back({TTokenKind::kDatePart, std::string(run, lower)});
      i += run;
    } else {
      AddLiteral(section, code.substr(i, 1));
      ++i;
    }
  }
  return section;
}

std::vector<std::string_view> SplitSections(std::string_view code) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  bool bracket = false;
  for (size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '\\' && !quoted) {
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == '[') {
      bracket = true;
    } else if (!quoted && c == ']') {
      bracket = false;
    } else if (!quoted && !bracket && c == ';') {
      sections.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(code.substr(start));
  return sections;
}

bool IsDateSection(const TSection& section) {
  return std::any_of(section.begin(), section.end(), [](const TToken& token) {
    return token.kind == TTokenKind::kDatePart || token.kind == TTokenKind::kAmPm;
  });
}

// --- dates and times ---

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                                                     "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

std::string Padded(long long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return digits;
}

struct TDateTime {
  int year = 1900, month = 1, day = 1, weekday = 0;
  long long totalSeconds = 0;  // from day zero, for elapsed times
  int hour = 0, minute = 0, second = 0;
  double subSecond = 0;
};

TDateTime DateTimeOf(double serial, bool date1904, int subSecondDigits) {
  const double scale = std::pow(10.0, subSecondDigits);
  const double ticks = std::round(serial * 86400.0 * scale);
  const auto wholeSeconds = static_cast<long long>(std::floor(ticks / scale));
  TDateTime result;
  result.totalSeconds = wholeSeconds;
  result.subSecond = (ticks - static_cast<double>(wholeSeconds) * scale) / scale;
  long long days = wholeSeconds / 86400;
  const long long secondsOfDay = wholeSeconds % 86400;
  result.hour = static_cast<int>(secondsOfDay / 3600);
  result.minute = static_cast<int>(secondsOfDay / 60 % 60);
  result.second = static_cast<int>(secondsOfDay % 60);
  using namespace std::chrono;
  // Day 60 of the 1900 system is the 29th of February 1900 that never was:
  // days before it count from the 31st of December 1899.
  const bool phantomLeapDay = !date1904 && days == 60;
  sys_days zero = sys_days(year{1899} / December / 30);
  if (date1904) zero = sys_days(year{1904} / January / 1);
  if (!date1904 && days < 60) zero = sys_days(year{1899} / December / 31);
  const sys_days date = zero + std::chrono::days(days);
  const year_month_day ymd(date);
  result.year = static_cast<int>(ymd.year());
  result.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  result.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  result.weekday = static_cast<int>(weekday(date).c_encoding());
  if (phantomLeapDay) {
    result.month = 2;
    result.day = 29;
  }
  return result;
}

// m and mm are minutes after an hour or before a second, months elsewhere.
bool IsMinutes(const TSection& section, size_t at) {
  for (size_t i = at; i-- > 0;) {
    if (section[i].kind != TTokenKind::kDatePart) continue;
    if (section[i].text[0] == 'h') return true;
    break;
  }
  for (size_t i = at + 1; i < section.size(); ++i) {
    if (section[i].kind != TTokenKind::kDatePart) continue;
    return section[i].text[0] == 's';
  }
  return false;
}

std::string DatePartText(const TSection& section, size_t at, const TDateTime& when, bool twelveHour) {
  const TToken& token = section[at];
  const auto length = static_cast<int>(token.text.size());
  const std::string month = kMonthNames.at(static_cast<size_t>(when.month - 1));
  const std::string day = kDayNames.at(static_cast<size_t>(when.weekday));
  switch (token.text[0]) {
    case 'y': return length <= 2 ? Padded(when.year % 100, 2) : Padded(when.year, 4);
    case 'd':
      if (length <= 2) return Padded(when.day, length);
      return length == 3 ? day.substr(0, 3) : day;
    case 'h':
      if (token.elapsed) return Padded(when.totalSeconds / 3600, 1);
      if (twelveHour) return Padded(when.hour % 12 == 0 ? 12 : when.hour % 12, std::min(length, 2));
      return Padded(when.hour, std::min(length, 2));
    case 's':
      if (token.elapsed) return Padded(when.totalSeconds, 1);
      return Padded(when.second, std::min(length, 2));
    default:  // 'm'
      if (token.elapsed) return Padded(when.totalSeconds / 60, 1);
      if (length <= 2 && IsMinutes(section, at)) return Padded(when.minute, length);
      if (length <= 2) return Padded(when.month, length);
      if (length == 3) return month.substr(0, 3);
      return length == 5 ? month.substr(0, 1) : month;
  }
}

std::string FormatDate(double serial, const TSection& section, bool date1904) {
  // The 0s after a point that follows seconds are fractions of a second.
  int subSecondDigits = 0;
  for (size_t i = 0; i + 1 < section.size(); ++i) {
    if (section[i].kind != TTokenKind::kPoint) continue;
    for (size_t j = i + 1; j < section.size() && section[j].kind == TTokenKind::kDigit; ++j) ++subSecondDigits;
    break;
  }
  const TDateTime when = DateTimeOf(serial, date1904, std::min(subSecondDigits, 3));
  const bool twelveHour = std::any_of(section.begin(), section.end(),
                                      [](const TToken& token) { return token.kind == TTokenKind::kAmPm; });
  std::string out;
  for (size_t i = 0; i < section.size(); ++i) {
    const TToken& token = section[i];
    switch (token.kind) {
      case TTokenKind::kDatePart: out += DatePartText(section, i, when, twelveHour); break;
      case TTokenKind::kAmPm: {
        const bool pm = when.hour >= 12;
        if (token.text.size() == 3) {
          out += pm ? "P" : "A";
        } else {
          out += pm ? "PM" : "AM";
        }
        break;
      }
      case TTokenKind::kPoint: {
        if (subSecondDigits == 0) {
          out += '.';
          break;
        }
        char digits[16];
        std::snprintf(digits, sizeof digits, "%.*f", std::min(subSecondDigits, 3), when.subSecond);
        out += std::string_view(digits).substr(1);
        while (i + 1 < section.size() && section[i + 1].kind == TTokenKind::kDigit) ++i;
        break;
      }
      case TTokenKind::kLiteral: case TTokenKind::kComma: out += token.text; break;
      default: break;
    }
  }
  return out;
}

// --- numbers ---

struct TNumberLayout {
  std::string integerPlaceholders;
  std::string decimalPlaceholders;
  bool grouping = false;
  int scaleThousands = 0;
  int percents = 0;
  const TToken* exponent = nullptr;
};

TNumberLayout LayoutOf(const TSection& section) {
  TNumberLayout layout;
  bool afterPoint = false;
  bool afterExponent = false;
  for (size_t i = 0; i < section.size(); ++i) {
    const TToken& token = section[i];
    if (token.kind == TTokenKind::kPoint && !afterExponent) afterPoint = true;
    if (token.kind == TTokenKind::kExponent) {
      layout.exponent = &token;
      afterExponent = true;
    }
    if (token.kind == TTokenKind::kPercent) ++layout.percents;
    if (token.kind == TTokenKind::kDigit && !afterExponent) {
      (afterPoint ? layout.decimalPlaceholders : layout.integerPlaceholders) += token.text;
    }
    if (token.kind == TTokenKind::kComma && !afterPoint && !afterExponent) {
      const bool digitBefore = i > 0 && section[i - 1].kind == TTokenKind::kDigit;
      const bool digitAfter = i + 1 < section.size() && section[i + 1].kind == TTokenKind::kDigit;
      if (digitBefore && digitAfter) {
        layout.grouping = true;
      } else if (digitBefore || (i > 0 && section[i - 1].kind == TTokenKind::kComma)) {
        ++layout.scaleThousands;
      }
    }
  }
  return layout;
}

std::string Grouped(const std::string& digits) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string IntegerText(std::string digits, const TNumberLayout& layout) {
  if (digits == "0") digits.clear();
  // Placeholders from the first 0 on always show a digit, ? a space.
  const std::string& places = layout.integerPlaceholders;
  const size_t firstShown = places.find_first_of("0?");
  const size_t minimum = firstShown == std::string::npos ? 0 : places.size() - firstShown;
  std::string padding;
  for (size_t i = digits.size(); i < minimum; ++i) {
    padding += places[places.size() - 1 - i] == '?' ? ' ' : '0';
  }
  std::reverse(padding.begin(), padding.end());
  digits = padding + digits;
  return layout.grouping ? Grouped(digits) : digits;
}

std::string FractionText(std::string digits, const std::string& places) {
  while (!digits.empty() && digits.back() == '0' && places.at(digits.size() - 1) != '0') {
    if (places.at(digits.size() - 1) == '?') break;
    digits.pop_back();
  }
  for (size_t i = digits.size(); i-- > 0 && digits[i] == '0' && places.at(i) == '?';) digits[i] = ' ';
  return digits;
}

// value (not negative) to decimals places, halves rounded up as people do
// it on the decimal digits the value shows, not on its binary neighbour
// (72.25 to one place is 72.3).
std::string FixedDecimals(double value, int decimals) {
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string digits(buffer, written.ec == std::errc() ? written.ptr : buffer);
  if (digits.empty()) digits = "0";
  const size_t point = digits.find('.');
  std::string integer = digits.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
  const bool roundUp = static_cast<int>(fraction.size()) > decimals && fraction[static_cast<size_t>(decimals)] >= '5';
  fraction.resize(static_cast<size_t>(decimals), '0');
  std::string all = integer + fraction;
  for (size_t i = all.size(); roundUp && i-- > 0;) {
    if (all[i] == '9') {
      all[i] = '0';
      if (i == 0) all.insert(0, "1");
    } else {
      ++all[i];
      break;
    }
  }
  const size_t integerLength = all.size() - static_cast<size_t>(decimals);
  return decimals == 0 ? all : all.substr(0, integerLength) + "." + all.substr(integerLength);
}

// Runs of digit placeholders, as [first, last] token indexes.
std::vector<std::pair<size_t, size_t>> DigitGroups(const TSection& section) {
  std::vector<std::pair<size_t, size_t>> groups;
  for (size_t i = 0; i < section.size(); ++i) {
    if (section[i].kind != TTokenKind::kDigit) continue;
    if (!groups.empty() && groups.back().second + 1 == i) {
      groups.back().second = i;
    } else {
      groups.emplace_back(i, i);
    }
  }
  return groups;
}

std::optional<size_t> FractionSlash(const TSection& section) {
  for (size_t i = 1; i + 1 < section.size(); ++i) {
    if (section[i].kind == TTokenKind::kLiteral && section[i].text == "/" &&
        section[i - 1].kind == TTokenKind::kDigit && section[i + 1].kind == TTokenKind::kDigit) {
      return i;
    }
  }
  return std::nullopt;
}

std::string PaddedPlaces(std::string digits, size_t places, bool left) {
  if (digits.size() < places) {
    const std::string spaces(places - digits.size(), ' ');
    digits = left ? spaces + digits : digits + spaces;
  }
  return digits;
}

// "# ?/?" and the like: a whole part, then the closest fraction whose
// denominator has no more digits than its placeholders.
std::string FormatFraction(double value, const TSection& section, size_t slash) {
  const auto groups = DigitGroups(section);
  size_t numerator = 0;
  while (numerator + 1 < groups.size() && groups[numerator + 1].second < slash) ++numerator;
  const size_t denominator = numerator + 1;
  const bool hasWhole = numerator > 0;
  double whole = hasWhole ? std::floor(value) : 0;
  const double part = value - whole;
  const size_t denominatorPlaces = groups[denominator].second - groups[denominator].first + 1;
  const int maxDenominator = static_cast<int>(std::pow(10.0, static_cast<double>(std::min<size_t>(denominatorPlaces, 4)))) - 1;
  long long bestNumerator = 0;
  int bestDenominator = 1;
  double bestError = part;
  for (int d = 1; d <= maxDenominator && bestError > 0; ++d) {
    const auto n = static_cast<long long>(std::llround(part * d));
    const double error = std::fabs(part - static_cast<double>(n) / d);
    if (error < bestError - 1e-12) {
      bestError = error;
      bestNumerator = n;
      bestDenominator = d;
    }
  }
  if (hasWhole && bestNumerator == bestDenominator) {
    whole += 1;
    bestNumerator = 0;
  }
  std::string out;
  for (size_t i = 0; i < section.size(); ++i) {
    const auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == i; });
    if (group != groups.end()) {
      const auto index = static_cast<size_t>(group - groups.begin());
      const size_t places = group->second - group->first + 1;
      if (hasWhole && index == 0) {
        out += whole == 0 && section[i].text != "0" ? "" : FixedDecimals(whole, 0);
      } else if (index == numerator) {
        out += PaddedPlaces(std::to_string(bestNumerator), places, true);
      } else if (index == denominator) {
        out += PaddedPlaces(std::to_string(bestDenominator), places, false);
      }
      i = group->second;
    } else if (section[i].kind == TTokenKind::kLiteral) {
      out += section[i].text;
    }
  }
  return out;
}

std::string FormatNumber(double value, const TSection& section) {
  if (const auto slash = FractionSlash(section)) return FormatFraction(value, section, *slash);
  const TNumberLayout layout = LayoutOf(section);
  value *= std::pow(100.0, layout.percents) / std::pow(1000.0, layout.scaleThousands);
  const int decimals = static_cast<int>(std::min<size_t>(layout.decimalPlaceholders.size(), 30));
  int exponent = 0;
  // A value past the double range (a cell's "1e999") has no exponent to show.
  if (layout.exponent != nullptr && value != 0 && std::isfinite(value)) {
    exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const double mantissa = value / std::pow(10.0, exponent);
    // 9.996 at two decimals rounds to 10.00: one more power of ten.
    if (std::round(mantissa * std::pow(10.0, decimals)) >= 10 * std::pow(10.0, decimals)) ++exponent;
    value /= std::pow(10.0, exponent);
  }
  const std::string text = FixedDecimals(value, decimals);
  const std::string_view rounded = text;
  const size_t point = rounded.find('.');
  const std::string integerDigits(rounded.substr(0, point));
  const std::string fractionDigits(point == rounded.npos ? "" : rounded.substr(point + 1));
  std::string out;
  bool integerDone = false;
  bool fractionDone = false;
  bool afterPoint = false;
  for (const TToken& token : section) {
    switch (token.kind) {
      case TTokenKind::kLiteral: out += token.text; break;
      case TTokenKind::kDigit:
        if (!afterPoint && !integerDone) out += IntegerText(integerDigits, layout);
        if (afterPoint && !fractionDone) out += FractionText(fractionDigits, layout.decimalPlaceholders);
        (afterPoint ? fractionDone : integerDone) = true;
        break;
      case TTokenKind::kPoint:
        if (!integerDone) out += IntegerText(integerDigits, layout);
        integerDone = true;
        afterPoint = true;
        out += '.';
        break;
      case TTokenKind::kPercent: out += '%'; break;
      case TTokenKind::kExponent:
        out += 'E';
        out += exponent < 0 ? "-" : (token.text == "+" ? "+" : "");
        out += Padded(std::abs(exponent), token.count);
        break;
      case TTokenKind::kGeneral: out += GeneralNumber(value); break;
      default: break;
    }
  }
  return out;
}

bool ShowsDigits(const TSection& section) {
  return std::any_of(section.begin(), section.end(), [](const TToken& token) {
    return token.kind == TTokenKind::kDigit || token.kind == TTokenKind::kGeneral;
  });
}

}  // namespace

std::string_view BuiltInNumberFormat(int id) {
  switch (id) {
    case 0: return "General";
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 5: return "\"$\"#,##0_);(\"$\"#,##0)";
    case 6: return "\"$\"#,##0_);[Red](\"$\"#,##0)";
    case 7: return "\"$\"#,##0.00_);(\"$\"#,##0.00)";
    case 8: return "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 12: return "# ?/?";
    case 13: return "# ?\?/?\?";
    case 14: return "mm/dd/yy";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "mm/dd/yy h:mm";
    case 37: return "#,##0 ;(#,##0)";
    case 38: return "#,##0 ;[Red](#,##0)";
    case 39: return "#,##0.00;(#,##0.00)";
    case 40: return "#,##0.00;[Red](#,##0.00)";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mm:ss.0";
    case 48: return "##0.0E+0";
    case 49: return "@";
    default: return {};
  }
}

bool IsDateFormat(std::string_view code) { return IsDateSection(ParseSection(SplitSections(code).front())); }

std::string GeneralNumber(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.0f", value);
    return value == 0 ? "0" : digits;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string out = text;
  const size_t e = out.find('e');
  if (e == std::string::npos) return out;
  // 1.5e+20 as 1.5E+20
  std::string mantissa = out.substr(0, e);
  const int exponent = std::atoi(out.c_str() + e + 1);
  return mantissa + "E" + (exponent < 0 ? "-" : "+") + Padded(std::abs(exponent), 2);
}

std::string FormatCellNumber(double value, std::string_view code, bool date1904) {
  if (!std::isfinite(value)) return GeneralNumber(value);
  const auto sections = SplitSections(code);
  // Positive; negative; zero; text. A negative section shows the magnitude.
  size_t chosen = 0;
  if (value < 0 && sections.size() >= 2) chosen = 1;
  if (value == 0 && sections.size() >= 3) chosen = 2;
  const TSection section = ParseSection(sections[chosen]);
  if (IsDateSection(section)) {
    if (value < 0 || value >= 2958466) return GeneralNumber(value);
    return FormatDate(value, section, date1904);
  }
  if (!ShowsDigits(section)) {
    std::string out;
    for (const TToken& token : section) {
      if (token.kind == TTokenKind::kLiteral || token.kind == TTokenKind::kPercent) out += token.text;
    }
    if (section.empty()) return GeneralNumber(value);
    return out;
  }
  const bool minus = value < 0 && chosen == 0;
  std::string shown = FormatNumber(std::fabs(value), section);
  return minus ? "-" + shown : shown;
}

}  // namespace varnolt
