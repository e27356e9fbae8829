#include "platform/Clipboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnolt {
namespace {

using namespace std::string_literals;

TEST(ClipboardTest, EngineFormatsAreRegisteredInOrderAndNamesAreFoundAgain) {
  MemoryClipboard clipboard;
  const EngineClipboardFormats formats = RegisterEngineFormats(clipboard);
  EXPECT_EQ(formats.richDoc, kCfFirstRegistered);
  EXPECT_EQ(formats.richText, kCfFirstRegistered + 1);
  EXPECT_EQ(formats.url, kCfFirstRegistered + 2);
  EXPECT_EQ(formats.html, kCfFirstRegistered + 3);
  EXPECT_EQ(clipboard.FormatName(formats.richDoc), "RichDoc Format");
  EXPECT_EQ(clipboard.FormatName(formats.richText), "Rich Text Format");
  EXPECT_EQ(clipboard.FormatName(formats.url), "UniformResourceLocator");
  EXPECT_EQ(clipboard.FormatName(formats.html), "HTML Format");

  EXPECT_EQ(clipboard.RegisterFormat("rich text format"), formats.richText);
  EXPECT_EQ(clipboard.RegisterFormat("Another Format"), kCfFirstRegistered + 4);
  EXPECT_EQ(clipboard.RegisterFormat(""), 0u);
  EXPECT_EQ(clipboard.FormatName(kCfText), "");
  EXPECT_EQ(clipboard.FormatName(kCfFirstRegistered + 99), "");
}

TEST(ClipboardTest, BlocksOfBytesComeBackUnchanged) {
  MemoryClipboard clipboard;
  const ClipboardFormat rtf = clipboard.RegisterFormat(kRichTextFormatName);
  const std::string block = "{\\rtf1 a\0b}"s;
  clipboard.SetData(rtf, block);
  EXPECT_EQ(clipboard.GetData(rtf), block);
  EXPECT_EQ(clipboard.FormatCount(), 1);
  EXPECT_FALSE(clipboard.HasFormat(kCfUnicodeText));
  EXPECT_FALSE(clipboard.UnicodeText().has_value());
  EXPECT_FALSE(clipboard.GetData(kCfBitmap).has_value());

  clipboard.SetData(rtf, "x");
  EXPECT_EQ(clipboard.GetData(rtf), "x");
  EXPECT_EQ(clipboard.FormatCount(), 1);
  clipboard.SetData(0, "ignored");
  EXPECT_EQ(clipboard.FormatCount(), 1);
}

TEST(ClipboardTest, UnicodeTextIsAlsoOfferedAsEightBitText) {
  MemoryClipboard clipboard;
  clipboard.SetUnicodeText(u"caf\u00E9 \u20AC \u4E2D");
  EXPECT_EQ(clipboard.GetData(kCfUnicodeText),
            "c\0a\0f\0\xE9\0 \0\xAC\x20 \0\x2D\x4E\0\0"s);
  // The 8-bit forms are zero-terminated; what the code page lacks becomes "?".
  EXPECT_EQ(clipboard.GetData(kCfText), "caf\xE9 \x80 ?\0"s);
  EXPECT_EQ(clipboard.GetData(kCfOemText), "caf\x82 ? ?\0"s);
  EXPECT_EQ(clipboard.Text(), "caf\xE9 \x80 ?");
  EXPECT_EQ(clipboard.Formats(), (std::vector<ClipboardFormat>{kCfUnicodeText, kCfText, kCfOemText}));
  EXPECT_EQ(clipboard.FormatCount(), 3);
}

TEST(ClipboardTest, EightBitTextIsAlsoOfferedAsUnicodeText) {
  MemoryClipboard clipboard;
  clipboard.SetText("caf\xE9 \x81");
  EXPECT_EQ(clipboard.GetData(kCfText), "caf\xE9 \x81\0"s);
  EXPECT_EQ(clipboard.UnicodeText(), u"caf\u00E9 \u0081");
  EXPECT_TRUE(clipboard.HasFormat(kCfOemText));
  EXPECT_EQ(clipboard.Formats(), (std::vector<ClipboardFormat>{kCfText, kCfOemText, kCfUnicodeText}));
}

TEST(ClipboardTest, TextEndsAtTheFirstZero) {
  MemoryClipboard clipboard;
  clipboard.SetData(kCfUnicodeText, "a\0b\0\0\0c\0"s);
  EXPECT_EQ(clipboard.UnicodeText(), u"ab");
  EXPECT_EQ(clipboard.Text(), "ab");
  clipboard.SetData(kCfText, "xy\0z"s);
  EXPECT_EQ(clipboard.Text(), "xy");
}

TEST(ClipboardTest, AnOddByteAtTheEndOfUnicodeTextIsDropped) {
  MemoryClipboard clipboard;
  clipboard.SetData(kCfUnicodeText, "a\0b"s);
  EXPECT_EQ(clipboard.UnicodeText(), u"a");
  EXPECT_EQ(clipboard.GetData(kCfText), "a\0"s);
  clipboard.SetData(kCfUnicodeText, "z"s);
  EXPECT_EQ(clipboard.UnicodeText(), u"");
}

TEST(ClipboardTest, TextPutInEveryFormatIsNotConverted) {
  MemoryClipboard clipboard;
  clipboard.SetData(kCfText, "eight\0"s);
  clipboard.SetData(kCfUnicodeText, "w\0i\0d\0e\0\0\0"s);
  EXPECT_EQ(clipboard.Text(), "eight");
  EXPECT_EQ(clipboard.UnicodeText(), u"wide");
  // Conversions start from the Unicode text.
  EXPECT_EQ(clipboard.GetData(kCfOemText), "wide\0"s);
}

TEST(ClipboardTest, PuttingTextReplacesEveryFormatHeldAndTellsObserversOnce) {
  for (const bool unicode : {true, false}) {
    MemoryClipboard clipboard;
    const auto rtf = clipboard.RegisterFormat(kRichTextFormatName);
    clipboard.SetData(rtf, "{\\rtf1 stale}");
    clipboard.SetData(kCfBitmap, "BM");
    int changes = 0;
    clipboard.AddChangeObserver([&] { ++changes; });
    if (unicode) {
      clipboard.SetUnicodeText(u"fresh");
    } else {
      clipboard.SetText("fresh");
    }
    EXPECT_FALSE(clipboard.HasFormat(rtf)) << unicode;
    EXPECT_FALSE(clipboard.HasFormat(kCfBitmap)) << unicode;
    EXPECT_EQ(clipboard.UnicodeText(), u"fresh");
    EXPECT_EQ(changes, 1);
  }
}

TEST(ClipboardTest, EmptyRemovesEverything) {
  MemoryClipboard clipboard;
  clipboard.SetUnicodeText(u"text");
  clipboard.SetData(clipboard.RegisterFormat(kHtmlFormatName), "<b>");
  ASSERT_EQ(clipboard.FormatCount(), 4);
  clipboard.Empty();
  EXPECT_EQ(clipboard.FormatCount(), 0);
  EXPECT_TRUE(clipboard.Formats().empty());
  EXPECT_FALSE(clipboard.HasFormat(kCfText));
  EXPECT_FALSE(clipboard.Text().has_value());
}

TEST(ClipboardTest, ObserversHearEachChangeOnceAndOncePerBracket) {
  MemoryClipboard clipboard;
  int first = 0;
  int second = 0;
  const auto firstId = clipboard.AddChangeObserver([&first] { ++first; });
  clipboard.AddChangeObserver([&second] { ++second; });

  clipboard.SetUnicodeText(u"a");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);

  clipboard.Open();
  clipboard.Empty();
  clipboard.Open();
  clipboard.SetText("b");
  clipboard.Close();
  clipboard.SetData(kCfBitmap, "bits");
  EXPECT_EQ(first, 1) << "nothing is told while the clipboard is open";
  clipboard.Close();
  EXPECT_EQ(first, 2);

  clipboard.Open();
  clipboard.Close();
  EXPECT_EQ(first, 2) << "a bracket without a change tells nothing";
  clipboard.Close();
  EXPECT_EQ(first, 2) << "an unmatched close is harmless";

  clipboard.RemoveChangeObserver(firstId);
  clipboard.Empty();
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 3);
}

TEST(ClipboardTest, AnObserverMayRemoveItselfWhileBeingTold) {
  MemoryClipboard clipboard;
  int calls = 0;
  Clipboard::ObserverId id = 0;
  id = clipboard.AddChangeObserver([&] {
    ++calls;
    clipboard.RemoveChangeObserver(id);
  });
  clipboard.Empty();
  clipboard.Empty();
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace varnolt
