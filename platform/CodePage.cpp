#include "platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace varnolt {

namespace {

constexpr CodePageId kOemCodePage = 437;
constexpr CodePageId kMacCodePage = 10000;
constexpr CodePageId kDefaultAnsiCodePage = 1252;

struct CodePageName {
  CodePageId codePage;
  const char* icuName;
};

// Windows code pages by number; ICU carries the exact Windows tables.
constexpr CodePageName kCodePageNames[] = {
    {437, "ibm-437"},           {850, "ibm-850"},          {866, "ibm-866"},
    {874, "windows-874"},       {932, "windows-932"},      {936, "windows-936"},
    {949, "windows-949"},       {950, "windows-950"},      {1250, "windows-1250"},
    {1251, "windows-1251"},     {1252, "windows-1252"},    {1253, "windows-1253"},
    {1254, "windows-1254"},     {1255, "windows-1255"},    {1256, "windows-1256"},
    {1257, "windows-1257"},     {1258, "windows-1258"},    {10000, "macintosh"},
    {10006, "x-mac-greek"},     {10007, "x-mac-cyrillic"}, {10029, "x-mac-centraleurope"},
    {10081, "x-mac-turkish"},   {20127, "US-ASCII"},       {28591, "ISO-8859-1"},
    {65001, "UTF-8"},
    // Mac code pages ICU has no table for read with the nearest Windows one.
    {10001, "windows-932"},     {10002, "windows-950"},    {10003, "windows-949"},
    {10004, "windows-1256"},    {10005, "windows-1255"},   {10008, "windows-936"},
    {10021, "windows-874"},
};

const char* IcuNameOf(CodePageId codePage) {
  for (const auto& entry : kCodePageNames) {
    if (entry.codePage == codePage) return entry.icuName;
  }
  return nullptr;
}

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

void WriteQuestionMarkToUnicode(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                                UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  static const UChar kQuestion[] = {u'?'};
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, kQuestion, 1, 0, error);
}

// One converter per code page and thread, opened on first use.
UConverter* ConverterFor(CodePageId codePage) {
  thread_local std::map<CodePageId, ConverterPtr> converters;
  auto found = converters.find(codePage);
  if (found != converters.end()) return found->second.get();
  const char* name = IcuNameOf(codePage);
  if (name == nullptr) return nullptr;
  UErrorCode error = U_ZERO_ERROR;
  ConverterPtr converter(ucnv_open(name, &error));
  if (U_FAILURE(error) || !converter) return nullptr;
  ucnv_setToUCallBack(converter.get(), WriteQuestionMarkToUnicode, nullptr, nullptr, nullptr, &error);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
  ucnv_setSubstChars(converter.get(), "?", 1, &error);
  ucnv_setFallback(converter.get(), false);
  if (U_FAILURE(error)) return nullptr;
  return converters.emplace(codePage, std::move(converter)).first->second.get();
}

struct TSystemCodePage {
  CodePageId codePage = kDefaultAnsiCodePage;
  std::optional<std::string> problem;
};

TSystemCodePage ReadSystemAnsiCodePage() {
  const char* value = std::getenv("VARNOLT_ANSI_CODEPAGE");
  if (value == nullptr || *value == '\0') return {};
  char* end = nullptr;
  unsigned long parsed = std::strtoul(value, &end, 10);
  if (*end != '\0' || parsed < 3 || parsed > 65535 || IcuNameOf(static_cast<CodePageId>(parsed)) == nullptr) {
    return {kDefaultAnsiCodePage, "VARNOLT_ANSI_CODEPAGE=" + std::string(value) +
                                      " names no supported code page; code page " +
                                      std::to_string(kDefaultAnsiCodePage) + " is used"};
  }
  return {static_cast<CodePageId>(parsed), std::nullopt};
}

const TSystemCodePage& SystemCodePage() {
  static const TSystemCodePage codePage = ReadSystemAnsiCodePage();
  return codePage;
}

}  // namespace

CodePageId SystemAnsiCodePage() { return SystemCodePage().codePage; }

const std::optional<std::string>& SystemAnsiCodePageProblem() { return SystemCodePage().problem; }

CodePageId ResolveCodePage(CodePageId codePage) {
  switch (codePage) {
    case kCpAcp: return SystemAnsiCodePage();
    case kCpOemcp: return kOemCodePage;
    case kCpMaccp: return kMacCodePage;
    default: return codePage;
  }
}

bool IsCodePageSupported(CodePageId codePage) { return ConverterFor(ResolveCodePage(codePage)) != nullptr; }

std::optional<std::u16string> TryMultiByteToWide(CodePageId codePage, std::string_view bytes) {
  UConverter* converter = ConverterFor(ResolveCodePage(codePage));
  if (converter == nullptr) return std::nullopt;
  if (bytes.empty()) return std::u16string();
  ucnv_resetToUnicode(converter);
  std::u16string result(bytes.size() + 1, u'\0');
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = ucnv_toUChars(converter, result.data(), static_cast<int32_t>(result.size()), bytes.data(),
                                 static_cast<int32_t>(bytes.size()), &error);
  if (error == U_BUFFER_OVERFLOW_ERROR) {
    result.assign(static_cast<size_t>(length) + 1, u'\0');
    error = U_ZERO_ERROR;
    ucnv_resetToUnicode(converter);
    length = ucnv_toUChars(converter, result.data(), static_cast<int32_t>(result.size()), bytes.data(),
                           static_cast<int32_t>(bytes.size()), &error);
  }
  if (U_FAILURE(error)) return std::nullopt;
  result.resize(static_cast<size_t>(length));
  return result;
}

std::optional<std::string> TryWideToMultiByte(CodePageId codePage, std::u16string_view text) {
  UConverter* converter = ConverterFor(ResolveCodePage(codePage));
  if (converter == nullptr) return std::nullopt;
  if (text.empty()) return std::string();
  ucnv_resetFromUnicode(converter);
  std::string result(text.size() * static_cast<size_t>(ucnv_getMaxCharSize(converter)) + 1, '\0');
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = ucnv_fromUChars(converter, result.data(), static_cast<int32_t>(result.size()), text.data(),
                                   static_cast<int32_t>(text.size()), &error);
  if (U_FAILURE(error)) return std::nullopt;
  result.resize(static_cast<size_t>(length));
  return result;
}

std::u16string AnsiToUnicode(CodePageId codePage, std::string_view bytes) {
  if (auto converted = TryMultiByteToWide(codePage, bytes)) return *converted;
  if (codePage != kCpAcp) {
    if (auto converted = TryMultiByteToWide(kCpAcp, bytes)) return *converted;
  }
  return std::u16string(bytes.size(), u'?');
}

std::string UnicodeToAnsi(CodePageId codePage, std::u16string_view text) {
  if (auto converted = TryWideToMultiByte(codePage, text)) return *converted;
  if (codePage != kCpAcp) {
    if (auto converted = TryWideToMultiByte(kCpAcp, text)) return *converted;
  }
  return std::string(text.size(), '?');
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string result;
  icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(result);
  return result;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  auto text = icu::UnicodeString::fromUTF8(icu::StringPiece(bytes.data(), static_cast<int32_t>(bytes.size())));
  return std::u16string(text.getBuffer(), static_cast<size_t>(text.length()));
}

bool IsValidUtf8(std::string_view bytes) {
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
  return error == U_BUFFER_OVERFLOW_ERROR || error == U_ZERO_ERROR || error == U_STRING_NOT_TERMINATED_WARNING;
}

int CompareFontNames(std::u16string_view a, std::u16string_view b) {
  UErrorCode error = U_ZERO_ERROR;
  int result = u_strCaseCompare(a.data(), static_cast<int32_t>(a.size()), b.data(), static_cast<int32_t>(b.size()),
                                U_FOLD_CASE_DEFAULT, &error);
  return U_FAILURE(error) ? a.compare(b) : result;
}

bool IsCharAlphaNumeric(char16_t c) { return u_isalnum(c) != 0; }

}  // namespace varnolt
