#include "pdf/PdfTypes.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/pdf/PdfTestHelpers.h"

namespace varnolt {
namespace {

using test::MessageOf;
using test::Written;

struct ValueCase {
  const char* name;
  std::function<std::unique_ptr<TPdfObject>()> make;
  std::string expected;
};

TEST(PdfTypesTest, EveryValueClassWritesItsSyntax) {
  const ValueCase cases[] = {
      {"null", [] { return std::make_unique<TPdfNull>(); }, "null"},
      {"true", [] { return std::make_unique<TPdfBoolean>(true); }, "true"},
      {"false", [] { return std::make_unique<TPdfBoolean>(false); }, "false"},
      {"zero", [] { return std::make_unique<TPdfNumber>(0); }, "0"},
      {"negative", [] { return std::make_unique<TPdfNumber>(-17); }, "-17"},
      {"largest", [] { return std::make_unique<TPdfNumber>(2147483647); }, "2147483647"},
      {"smallest", [] { return std::make_unique<TPdfNumber>(-2147483647 - 1); }, "-2147483648"},
      {"real", [] { return std::make_unique<TPdfReal>(12.5L); }, "12.5"},
      {"real third", [] { return std::make_unique<TPdfReal>(1.0L / 3); }, "0.333333333333333"},
      {"empty text", [] { return std::make_unique<TPdfText>(); }, "()"},
      {"parentheses", [] { return std::make_unique<TPdfText>(u"a(b)"); }, "(a\\(b\\))"},
      {"eight escapes", [] { return std::make_unique<TPdfText>(u"()\\\r\n\t\b\f"); },
       "(\\(\\)\\\\\\r\\n\\t\\b\\f)"},
      {"other controls raw", [] { return std::make_unique<TPdfText>(u"\x01\x1B"); }, "(\x01\x1B)"},
      {"latin-1 literal", [] { return std::make_unique<TPdfText>(u"caf\u00E9"); }, "(caf\xE9)"},
      {"wide hex", [] { return std::make_unique<TPdfText>(u"\u4E2D"); }, "<FEFF4E2D>"},
      {"wide keeps ascii as hex", [] { return std::make_unique<TPdfText>(u"A\u20AC"); }, "<FEFF004120AC>"},
      {"surrogate pair", [] { return std::make_unique<TPdfText>(u"\U0001F600"); }, "<FEFFD83DDE00>"},
      {"plain name", [] { return std::make_unique<TPdfName>(u"Type"); }, "/Type"},
      {"name with space", [] { return std::make_unique<TPdfName>(u"F 1"); }, "/F#201"},
      {"name above 126", [] { return std::make_unique<TPdfName>(u"\u00E4"); }, "/#E4"},
      {"name delimiters", [] { return std::make_unique<TPdfName>(u"#%()/<>[]{}"); },
       "/#23#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
      {"name control and wide", [] { return std::make_unique<TPdfName>(u"\x01\u4E2D~"); }, "/#01#4E2D~"},
      {"empty array", [] { return std::make_unique<TPdfArray>(); }, "[]"},
      {"number array", [] { return TPdfArray::CreateNumberArray(nullptr, {0, 0, 596, 842}); }, "[0 0 596 842 ]"},
      {"empty dictionary", [] { return std::make_unique<TPdfDictionary>(); }, "<<\r\n>>"},
      {"dictionary",
       [] {
         auto dictionary = std::make_unique<TPdfDictionary>();
         dictionary->PutName(u"Type", u"Font");
         dictionary->Put(u"Inner", std::make_unique<TPdfDictionary>());
         return dictionary;
       },
       "<<\r\n/Type /Font\r\n/Inner <<\r\n>>\r\n>>"},
      {"only hidden element",
       [] {
         auto dictionary = std::make_unique<TPdfDictionary>();
         dictionary->PutHidden(u"_Font_Size", std::make_unique<TPdfReal>(10));
         return dictionary;
       },
       "<<\r\n>>"},
      {"binary",
       [] {
         auto binary = std::make_unique<TPdfBinary>();
         binary->Data() = std::string("<FF8000 >\0\xFF", 11);
         return binary;
       },
       std::string("<FF8000 >\0\xFF", 11)},
  };
  for (const auto& c : cases) {
    auto object = c.make();
    EXPECT_EQ(Written(*object), c.expected) << c.name;
  }
}

TEST(PdfTypesTest, RegisteredObjectsAreWrittenAsReferencesInsideContainers) {
  TPdfXref xref;
  auto& first = xref.AddObject(std::make_unique<TPdfDictionary>(&xref));
  auto& second = xref.AddObject(std::make_unique<TPdfNumber>(7));
  TPdfArray array(&xref);
  array.Append(first);
  array.Append(second);
  EXPECT_EQ(Written(array), "[1 0 R 2 0 R ]");
  EXPECT_EQ(array.GetItem(1), &second);
  EXPECT_EQ(Written(second), "2 0 R");

  // The same registered object twice gives two references.
  array.Append(first);
  EXPECT_EQ(Written(array), "[1 0 R 2 0 R 1 0 R ]");

  TPdfDictionary dictionary(&xref);
  dictionary.Put(u"Parent", first);
  EXPECT_EQ(Written(dictionary), "<<\r\n/Parent 1 0 R\r\n>>");
  EXPECT_EQ(dictionary.Lookup(u"Parent"), &first);
  EXPECT_EQ(dictionary.LookupDictionary(u"Parent"), &first);
  EXPECT_EQ(dictionary.LookupNumber(u"Parent"), nullptr);
}

TEST(PdfTypesTest, ReferencesResolveOnlyThroughAnXref) {
  TPdfXref xref;
  auto& target = xref.AddObject(std::make_unique<TPdfNull>());
  TPdfArray array;
  array.Append(target);
  TPdfDictionary dictionary;
  dictionary.Put(u"Target", target);
  EXPECT_EQ(array.GetItem(0), nullptr);
  EXPECT_EQ(dictionary.Lookup(u"Target"), nullptr);
  EXPECT_EQ(dictionary.Lookup(u"Absent"), nullptr);
  EXPECT_EQ(array.GetItem(5), nullptr);
}

TEST(PdfTypesTest, AppendingAHeldDirectObjectAgainStoresItOnce) {
  TPdfArray array;
  auto& number = array.Append(std::make_unique<TPdfNumber>(3));
  array.Append(number);
  EXPECT_EQ(array.Count(), 1u);
  EXPECT_EQ(Written(array), "[3 ]");

  TPdfNumber stranger(4);
  EXPECT_THROW(array.Append(stranger), EPdfInvalidOperation);
  TPdfDictionary dictionary;
  EXPECT_THROW(dictionary.Put(u"Key", stranger), EPdfInvalidOperation);
}

TEST(PdfTypesTest, PutReplacesAKeyAndMovesItToTheEnd) {
  TPdfDictionary dictionary;
  dictionary.PutNumber(u"A", 1);
  dictionary.PutNumber(u"B", 2);
  dictionary.PutNumber(u"A", 3);
  ASSERT_EQ(dictionary.Count(), 2u);
  EXPECT_EQ(dictionary.ElementAt(0).Key().Value(), u"B");
  EXPECT_EQ(dictionary.ElementAt(1).Key().Value(), u"A");
  EXPECT_EQ(Written(dictionary), "<<\r\n/B 2\r\n/A 3\r\n>>");

  // Keys compare exactly.
  EXPECT_EQ(dictionary.Lookup(u"a"), nullptr);
  dictionary.Remove(u"B");
  dictionary.Remove(u"Absent");
  EXPECT_EQ(Written(dictionary), "<<\r\n/A 3\r\n>>");
}

TEST(PdfTypesTest, HiddenEntriesAreFoundButNotWritten) {
  TPdfDictionary dictionary;
  dictionary.PutName(u"Type", u"Page");
  dictionary.PutHidden(u"_Leading", std::make_unique<TPdfReal>(12));
  dictionary.PutNumber(u"Count", 1);
  ASSERT_NE(dictionary.LookupReal(u"_Leading"), nullptr);
  EXPECT_EQ(dictionary.LookupReal(u"_Leading")->Value(), 12);
  EXPECT_EQ(dictionary.TypeName(), u"Page");
  EXPECT_EQ(Written(dictionary), "<<\r\n/Type /Page\r\n/Count 1\r\n>>");
  EXPECT_EQ(TPdfDictionary().TypeName(), u"");
}

TEST(PdfTypesTest, NameItemsAreFoundExactlyAndRemoved) {
  TPdfArray array;
  array.Append(std::make_unique<TPdfName>(u"PDF"));
  array.Append(std::make_unique<TPdfName>(u"Text"));
  EXPECT_EQ(array.FindNameItem(u"text"), nullptr);
  ASSERT_NE(array.FindNameItem(u"Text"), nullptr);
  EXPECT_TRUE(array.RemoveNameItem(u"PDF"));
  EXPECT_FALSE(array.RemoveNameItem(u"PDF"));
  EXPECT_EQ(Written(array), "[/Text ]");
}

TEST(PdfTypesTest, XrefNumbersObjectsDenselyAndWritesTwentyByteEntries) {
  TPdfXref xref;
  EXPECT_EQ(xref.Count(), 1);
  EXPECT_EQ(xref.ObjectByNumber(0), nullptr);
  auto& first = xref.AddObject(std::make_unique<TPdfNull>());
  auto& second = xref.AddObject(std::make_unique<TPdfNull>());
  EXPECT_EQ(first.ObjectNumber(), 1);
  EXPECT_EQ(second.ObjectNumber(), 2);
  EXPECT_EQ(first.Kind(), okIndirect);
  EXPECT_EQ(xref.ObjectByNumber(2), &second);
  EXPECT_EQ(xref.ObjectByNumber(3), nullptr);
  EXPECT_EQ(xref.ObjectByNumber(-1), nullptr);
  xref.Entry(1).Offset = 17;

  MemoryOutputStream stream;
  xref.WriteTo(stream);
  EXPECT_EQ(stream.Bytes(),
            "xref\r\n0 3\r\n"
            "0000000000 65535 f\r\n"
            "0000000017 00000 n\r\n"
            "0000000000 00000 n\r\n");
}

TEST(PdfTypesTest, ZeroPaddingNeverCutsAndWritesNegativesAsZero) {
  EXPECT_EQ(ZeroPadded(-1, 10), "0000000000");
  EXPECT_EQ(ZeroPadded(65535, 5), "65535");
  EXPECT_EQ(ZeroPadded(123456, 5), "123456");
  EXPECT_EQ(ZeroPadded(12345678901, 10), "12345678901");
}

TEST(PdfTypesTest, MisusedObjectsRaiseTheirMessages) {
  TPdfXref xref;
  auto& registered = xref.AddObject(std::make_unique<TPdfNull>());
  TPdfNull direct;
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] { xref.AddObject(TPdfVirtualObject::CreateVirtual(1)); }),
            "AddObject --wrong object type.");
  EXPECT_EQ(MessageOf<EPdfInvalidOperation>([&] {
              MemoryOutputStream stream;
              direct.WriteIndirect(stream);
            }),
            "internal error wrong object type");
  EXPECT_EQ(MessageOf<EPdfInvalidValue>([] { TPdfDictionaryElement(std::make_unique<TPdfName>(u"Key"), nullptr); }),
            "internal error. wrong object.");
  EXPECT_EQ(MessageOf<Exception>([] { TPdfVirtualObject reference; }),
            "virtualObject must be create by CreateVirtual method.");

  MemoryOutputStream stream;
  registered.WriteIndirect(stream);
  EXPECT_EQ(stream.Bytes(), "1 0 obj\r\nnull\r\nendobj\r\n");
}

TEST(PdfTypesTest, StreamsAnnounceTheirLengthAndNoFilter) {
  TPdfXref xref;
  auto& stream = xref.AddObject(std::make_unique<TPdfStream>(&xref));
  stream.Dictionary().LookupArray(u"Filter")->Append(std::make_unique<TPdfName>(u"FlateDecode"));
  stream.Data() = std::string(42, 'x');
  MemoryOutputStream out;
  stream.WriteIndirect(out);
  EXPECT_EQ(out.Bytes(), "1 0 obj\r\n<<\r\n/Length 42\r\n/Filter []\r\n>>\r\nstream\r\n" + std::string(42, 'x') +
                             "\nendstream\r\nendobj\r\n");

  TPdfImage image;
  image.Data() = "abc";
  EXPECT_EQ(Written(image), "<<\r\n/Length 3\r\n/Filter []\r\n>>\r\nstream\r\nabc\nendstream");
}

// A finished page's stream may be compressed before the save: the file
// carries the same bytes as when the save compresses it, and a later save
// request for plain data cannot undo it.
TEST(PdfTypesTest, AStreamDeflatedAheadWritesWhatTheSaveWouldHave) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "BT /F0 12 Tf 10 " + std::to_string(i) + " Td (line) Tj ET\n";
  TPdfStream atSave;
  atSave.Data() = text;
  atSave.SetDeflated(true);
  TPdfStream ahead;
  ahead.Data() = text;
  ahead.DeflateNow();
  EXPECT_LT(ahead.Data().size(), text.size());
  ahead.DeflateNow();  // once only
  EXPECT_EQ(Written(ahead), Written(atSave));
  ahead.SetDeflated(false);
  EXPECT_EQ(Written(ahead), Written(atSave));
  EXPECT_NE(Written(ahead).find("/Filter [/FlateDecode ]"), std::string::npos);
}

TEST(PdfTypesTest, HeaderTrailerAndTables) {
  MemoryOutputStream header;
  TPdfHeader().WriteTo(header);
  EXPECT_EQ(header.Bytes(), "%PDF-1.2 \r\n");

  TPdfTrailer trailer;
  trailer.Dictionary().LookupNumber(u"Size")->SetValue(7);
  trailer.SetXrefOffset(766);
  MemoryOutputStream out;
  trailer.WriteTo(out);
  EXPECT_EQ(out.Bytes(), "trailer\r\n<<\r\n/Size 7\r\n>>\r\nstartxref\r\n766\r\n%%EOF\r\n");

  static constexpr TPDF_STR_TBL kNames[] = {{u"Type", u"Font"}, {u"Subtype", u"Type1"}};
  static constexpr TPDF_INT_TBL kNumbers[] = {{u"FirstChar", 32}, {u"LastChar", 255}};
  TPdfDictionary dictionary;
  PutNameTable(dictionary, kNames);
  PutNumberTable(dictionary, kNumbers);
  EXPECT_EQ(Written(dictionary), "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/FirstChar 32\r\n/LastChar 255\r\n>>");
}

TEST(PdfTypesTest, DateStringsHaveNoTimeZone) {
  EXPECT_EQ(PdfDateString({2009, 6, 18, 18, 19, 25}), u"D:20090618181925");
  EXPECT_EQ(PdfDateString({1899, 12, 30, 0, 0, 0}), u"D:18991230000000");
}

}  // namespace
}  // namespace varnolt
