#pragma once
// Conversions between UTF-16 and 8-bit code pages, as the Windows calls that
// the behaviour names did them: the system code page, the OEM and Mac
// aliases, "?" for whatever cannot be converted, and never an exception.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnolt {

using CodePageId = std::uint32_t;

inline constexpr CodePageId kCpAcp = 0;    // the system ANSI code page
inline constexpr CodePageId kCpOemcp = 1;  // the OEM code page (437)
inline constexpr CodePageId kCpMaccp = 2;  // the Macintosh code page (10000)
inline constexpr CodePageId kCpUtf8 = 65001;

// 1252 unless the environment variable VARNOLT_ANSI_CODEPAGE names another
// supported code page; read once.
CodePageId SystemAnsiCodePage();
// Why VARNOLT_ANSI_CODEPAGE was not followed, for a front end to say once;
// empty when it was followed or is not set.
const std::optional<std::string>& SystemAnsiCodePageProblem();

// The real code page behind the aliases 0, 1 and 2.
CodePageId ResolveCodePage(CodePageId codePage);

bool IsCodePageSupported(CodePageId codePage);

// Empty optional when the code page is not supported; bytes or characters
// that have no counterpart become "?".
std::optional<std::u16string> TryMultiByteToWide(CodePageId codePage, std::string_view bytes);
std::optional<std::string> TryWideToMultiByte(CodePageId codePage, std::u16string_view text);

// The engine's conversions: the given code page, then the system code page,
// then one "?" per byte or code unit.
std::u16string AnsiToUnicode(CodePageId codePage, std::string_view bytes);
std::string UnicodeToAnsi(CodePageId codePage, std::u16string_view text);

std::string Utf16ToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);

// Case-insensitive comparison of font names: negative, zero or positive.
int CompareFontNames(std::u16string_view a, std::u16string_view b);
inline bool SameFontName(std::u16string_view a, std::u16string_view b) { return CompareFontNames(a, b) == 0; }

bool IsCharAlphaNumeric(char16_t c);

}  // namespace varnolt
