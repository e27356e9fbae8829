// RTF read into documents: paragraphs, breaks, tabs, hidden text, links,
// bookmarks, sequences, notes and pictures.
#include <gtest/gtest.h>

#include <sstream>

#include "richtext/document/RVItemKinds.h"
#include "richtext/document/RVLabelItems.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"

namespace varnolt {
namespace {

using test::Rtf;
using test::TRVImportedRTF;

struct StructureCase {
  const char* name;
  std::string body;
  std::string expected;
};

// Default settings: tabs become tab items, hidden text is dropped.
TEST(RVRTFImportTest, ParagraphsBreaksTabsAndHiddenText) {
  const StructureCase cases[] = {
      {"empty", "", ""},
      {"one run", "abc", "abc"},
      {"empty paragraph between", "a\\par\\par b", "a|{}|b"},
      {"line break", "x\\line y", "x/y"},
      {"page break", "a\\page b", "a#b"},
      {"formatting splits a run", "ab{\\b cd}e", "ab+cd+e"},
      {"tab item", "a\\tab b", "a+<tab>+b"},
      {"hidden run dropped", "a{\\v hidden}b", "a+b"},
      // The dropped hidden run carried the paragraph break; the next text keeps it.
      {"hidden run passes its break on", "a\\par {\\v hidden}b", "a|b"},
      {"hidden paragraph", "a\\par {\\v hidden\\par }b", "a|b"},
      {"unicode text", "\\uc1\\u1055?\\u1088?", "Пр"},
      {"code page text", "{\\f0\\'e9t\\'e9}", "été"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load(Rtf(c.body)), kRtfOk) << c.name;
    EXPECT_EQ(imported.Structure(), c.expected) << c.name;
  }
}

// Plain bytes, \'hh bytes and \uN characters of one formatting are one item
// when both kinds are stored alike (UTF-16 in one style); the mixed mode
// keeps 8-bit text in styles of its own, so there the kinds stay apart.
TEST(RVRTFImportTest, TextKindsOfOneFormattingMakeOneItem) {
  struct Case {
    const char* name;
    TRVReaderUnicode mode;
    std::string body;
    std::string structure;
    std::string storage;  // per text item: U for UTF-16 text, A for 8-bit text
  };
  const std::string fonts = "{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset204 Arial Cyr;}}";
  const Case cases[] = {
      {"plain around a character", rvruOnlyUnicode, "a\\u1055?b", "a\u041Fb", "U"},
      {"hex byte between characters", rvruOnlyUnicode, "\\u1055?\\'e9\\u1088?", "\u041F\u00E9\u0440", "U"},
      {"bytes, character, bytes", rvruOnlyUnicode, "caf\\'e9 \\u8364? ok", "caf\u00E9 \u20AC ok", "U"},
      {"skip count of two", rvruOnlyUnicode, "\\uc2\\u1055?\\'e9x", "\u041Fx", "U"},
      {"formatting still splits", rvruOnlyUnicode, "{\\b a\\u1055?}b\\u1088?", "a\u041F+b\u0440", "UU"},
      {"hidden text still dropped", rvruOnlyUnicode, "a\\u1055?{\\v b\\u1088?}c", "a\u041F+c", "UU"},
      {"tab still an item", rvruOnlyUnicode, "a\\u1055?\\tab b", "a\u041F+<tab>+b", "UU"},
      {"paragraphs still split", rvruOnlyUnicode, "a\\u1055?\\par b", "a\u041F|b", "UU"},
      {"symbol font bytes", rvruOnlyUnicode, "\\f1 a\\u-3913?b", "\u03B1\u2022\u03B2", "U"},
      {"bytes of a Cyrillic font", rvruOnlyUnicode, "\\f2 \\'c0\\u1055?\\'c1", "\u0410\u041F\u0411", "U"},
      {"mixed mode keeps kinds apart", rvruMixed, "a\\u1055?b", "a+\u041F+b", "AUA"},
      {"mixed mode, character in the code page", rvruMixed, "a\\u233?b", "a+\u00E9+b", "AAA"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    imported.props.UnicodeMode = c.mode;
    imported.props.TextStyleMode = rvrsAddIfNeeded;
    EXPECT_EQ(imported.Load("{\\rtf1\\ansi" + fonts + c.body + "}"), kRtfOk) << c.name;
    EXPECT_EQ(imported.Structure(), c.structure) << c.name;
    std::string storage;
    for (int i = 0; i < imported.doc.CountItems(); ++i) {
      const auto& item = imported.doc.ItemAt(i);
      if (!item.IsText()) continue;
      storage += item.UnicodeText() ? 'U' : 'A';
      EXPECT_EQ(imported.style.TextStyleAt(item.StyleNo).Unicode, item.UnicodeText()) << c.name << " item " << i;
    }
    EXPECT_EQ(storage, c.storage) << c.name;
  }
  // Hidden text that is dropped adds no style to the sheet.
  TRVImportedRTF hidden;
  hidden.props.TextStyleMode = rvrsAddIfNeeded;
  const int styles = hidden.style.TextStyles.Count();
  hidden.Load("{\\rtf1\\ansi" + fonts + "{\\v\\b\\fs40 a\\u1055?b}}");
  EXPECT_EQ(hidden.doc.CountItems(), 0);
  EXPECT_EQ(hidden.style.TextStyles.Count(), styles);
}

TEST(RVRTFImportTest, DocumentAndFontCodePages) {
  const StructureCase cases[] = {
      {"pc is code page 437", R"({\rtf1\pc \'f1\'f2\'f3 x\par})", "\u00B1\u2265\u2264 x"},
      {"pca is code page 850", R"({\rtf1\pca \'f1\'f2\'f3 x\par})", "\u00B1\u2017\u00BE x"},
      {"mac is Mac Roman", R"({\rtf1\mac \'8e\'a5})", "\u00E9\u2022"},
      {"Mac Cyrillic code page", R"({\rtf1\ansi\ansicpg10007 \'80})", "\u0410"},
      {"Mac Japanese font",
       R"({\rtf1\mac\ansicpg10001{\fonttbl\f0\fnil\fcharset78 HiraKakuPro-W3;}\f0 \'83\'65\'83\'58\'83\'67\par})",
       "\u30C6\u30B9\u30C8"},
      {"Mac Greek font", R"({\rtf1{\fonttbl{\f0\fcharset85 Geneva;}}\f0 \'a1})", "\u0393"},
      {"Mac Turkish font", R"({\rtf1{\fonttbl{\f0\fcharset86 Geneva;}}\f0 \'8b})", "\u00E3"},
      {"Mac Cyrillic font", R"({\rtf1{\fonttbl{\f0\fcharset89 Geneva;}}\f0 \'80})", "\u0410"},
      {"a Windows font in a Mac document", R"({\rtf1\mac{\fonttbl{\f0\fcharset0 Arial;}}\f0 \'e9})", "\u00E9"},
      {"text before the first font change is in the default font",
       R"({\rtf1\ansi\deff1{\fonttbl{\f0 Arial;}{\f1\fcharset204 Times New Roman;}}\'cf\'f0\'e8})", "\u041F\u0440\u0438"},
      {"plain returns to the default font",
       R"({\rtf1\ansi\deff1{\fonttbl{\f0 Arial;}{\f1\fcharset204 Arial Cyr;}}\f0\plain \'cf})", "\u041F"},
      {"a default font missing from the table",
       R"({\rtf1\ansi\deff7{\fonttbl{\f0\fcharset204 Arial Cyr;}}\'cf})", "\u041F"},
  };
  for (const auto& c : cases) {
    for (TRVReaderUnicode mode : {rvruOnlyUnicode, rvruMixed}) {
      TRVImportedRTF imported;
      imported.props.UnicodeMode = mode;
      imported.props.TextStyleMode = rvrsAddIfNeeded;
      EXPECT_EQ(imported.Load(c.body), kRtfOk) << c.name;
      EXPECT_EQ(imported.Structure(), c.expected) << c.name << " mode " << int{mode};
    }
  }
}

TEST(RVRTFImportTest, SymbolFontTextIsMappedToUnicode) {
  const std::string fonts = R"({\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}{\f2\fnil Symbol;}{\f3\fcharset2 Math;})"
                            R"({\f4\fnil\fcharset2 Wingdings;}})";
  const StructureCase cases[] = {
      {"charset 2", R"(\f1 \'b7 a \'e5)", "\u2022 \u03B1 \u2211"},
      {"font named Symbol", R"(\f2 \'b7 a \'e5)", "\u2022 \u03B1 \u2211"},
      {"another font of charset 2", R"(\f3 abg)", "\u03B1\u03B2\u03B3"},
      {"private-use characters", R"(\f1 \u-3913?\u-3999?)", "\u2022\u03B1"},
      {"a dingbat font has its own encoding", R"(\f4 a)", "\u264B"},
      {"other fonts are untouched", R"(\f0 a\'b7)", "a\u00B7"},
      {"fonts taken in turn", R"(\f1 a\f0 a\f4 a\f2 a)", "\u03B1+a+\u264B+\u03B1"},
      {"SYMBOL field, once", R"(x{\field{\*\fldinst SYMBOL 183 \\f "Symbol" \\s 10}{\fldrslt\f1\fs20 \'b7}}y)",
       "x+\u2022+y"},
      {"SYMBOL field in the private range", R"({\field{\*\fldinst SYMBOL 61669 \\f "Symbol" \\s 12}{\fldrslt x}})",
       "\u2211"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load("{\\rtf1\\ansi" + fonts + c.body + "}"), kRtfOk) << c.name;
    EXPECT_EQ(imported.Structure(), c.expected) << c.name;
  }
}

TEST(RVRTFImportTest, DingbatFontCodesAreMappedToUnicode) {
  const std::string fonts = R"({\fonttbl{\f0 Arial;}{\f1\fnil\fcharset2 Wingdings;}{\f2\fcharset2 Webdings;})"
                            R"({\f3 Zapf Dingbats;}{\f4\fcharset2 Wingdings 2;}})";
  const StructureCase cases[] = {
      {"Wingdings check mark, box, square, bullet, arrowhead", R"(\f1 \'fc\'fe\'a7\'6c\'9f\'d8)",
       "\u2714\u2611\u25AA\u25CF\u2022\u27A2"},
      {"Wingdings as private-use characters", R"(\f1 \u61692?\u61607?)", "\u2714\u25AA"},
      {"Wingdings beyond the first plane", R"(\f1 \'4d)", "\U0001F4A3"},
      {"Webdings check mark", R"(\f2 \'61)", "\u2714"},
      {"Webdings code without a character keeps it", R"(\f2 \'21)", "!"},
      {"Zapf Dingbats check marks and star", R"(\f3 34H)", "\u2713\u2714\u2605"},
      {"Wingdings 2 is another encoding", R"(\f4 P)", "P"},
      {"text around stays", R"(a{\f1 \'fc}b)", "a+\u2714+b"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load("{\\rtf1\\ansi" + fonts + c.body + "}"), kRtfOk) << c.name;
    EXPECT_EQ(imported.Structure(), c.expected) << c.name;
  }
}

// Text with no \f, or with a number the font table lacks, is in the default
// font: never in whatever font the table happens to list first.
TEST(RVRTFImportTest, OnlyTextInASymbolFontIsRemapped) {
  const StructureCase cases[] = {
      {"only font Symbol, no \\f", R"({\rtf1\ansi{\fonttbl{\f1 Symbol;}}Alpha})", "Alpha"},
      {"only font Symbol, a missing number", R"({\rtf1\ansi{\fonttbl{\f1 Symbol;}}\f7 Alpha})", "Alpha"},
      {"after \\plain", R"({\rtf1\ansi{\fonttbl{\f1 Symbol;}}{\f1 a}\plain Alpha})", "\u03B1+Alpha"},
      {"Symbol as the default font", R"({\rtf1\ansi\deff1{\fonttbl{\f1 Symbol;}}abg})", "\u03B1\u03B2\u03B3"},
      {"Symbol chosen by number", R"({\rtf1\ansi{\fonttbl{\f0 Arial;}{\f1 Symbol;}}Alpha {\f1 a}})", "Alpha +\u03B1"},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load(c.body), kRtfOk) << c.name;
    EXPECT_EQ(imported.Structure(), c.expected) << c.name;
  }
}

// A subclass of the settings sees every control word and may add text for
// it or take its handling over.
class TRVKeywordTranslatingProps : public TRVRTFReaderProperties {
 public:
  void TranslateKeyword(const TRVAnsiString& keyword, std::int32_t param, bool fParam, TRVAnsiString& text,
                        bool& doDefault) override {
    if (keyword == "smiley") text = ":-)";
    if (keyword == "b") doDefault = false;
    if (keyword == "fs" && fParam) sizes.push_back(param);
  }
  std::vector<std::int32_t> sizes;
};

TEST(RVRTFImportTest, SettingsSubclassTranslatesKeywords) {
  TRVStyle style;
  TCustomRVData doc;
  doc.SetRVStyle(&style);
  TRVKeywordTranslatingProps props;
  props.TextStyleMode = rvrsAddIfNeeded;
  ASSERT_EQ(props.LoadRTF(Rtf("a\\smiley b\\b c\\fs30 d\\fs e"), doc), kRtfOk);
  EXPECT_EQ(test::Dump(doc), "a:-)bc+d+e");
  EXPECT_EQ(props.sizes, std::vector<std::int32_t>{30});
  for (int i = 0; i < doc.CountItems(); ++i) {
    EXPECT_FALSE(style.TextStyleAt(doc.ItemAt(i).StyleNo).Style.Contains(fsBold)) << i;
  }
}

TEST(RVRTFImportTest, SettingsChangeTheStructure) {
  {
    TRVImportedRTF imported;
    imported.props.LineBreaksAsParagraphs = true;
    imported.Load(Rtf("x\\line y"));
    EXPECT_EQ(imported.Structure(), "x|y");
  }
  {
    TRVImportedRTF imported;
    imported.props.SkipHiddenText = false;
    imported.Load(Rtf("a{\\v hidden}b"));
    EXPECT_EQ(imported.Structure(), "a+hidden+b");
  }
  {
    TRVImportedRTF imported;
    imported.style.SpacesInTab = 4;
    imported.Load(Rtf("a\\tab b"));
    EXPECT_EQ(imported.Structure(), "a    b");
  }
}

TEST(RVRTFImportTest, TextStoredAsTheChosenStyleWants) {
  TRVImportedRTF unicode;
  unicode.Load(Rtf("{\\f0\\'e9}"));
  ASSERT_EQ(unicode.doc.CountItems(), 1);
  EXPECT_TRUE(unicode.doc.ItemAt(0).UnicodeText());

  // Mixed mode keeps what the font's code page holds as 8-bit text.
  TRVImportedRTF mixed;
  mixed.props.UnicodeMode = rvruMixed;
  mixed.props.TextStyleMode = rvrsAddIfNeeded;
  mixed.Load(Rtf("\\u233?\\par \\u1055?"));
  ASSERT_EQ(mixed.doc.CountItems(), 2);
  EXPECT_FALSE(mixed.doc.ItemAt(0).UnicodeText());
  EXPECT_EQ(mixed.doc.ItemAt(0).ItemText, "\xE9");
  EXPECT_FALSE(mixed.style.TextStyleAt(mixed.doc.ItemAt(0).StyleNo).Unicode);
  EXPECT_TRUE(mixed.doc.ItemAt(1).UnicodeText());
  EXPECT_EQ(mixed.doc.ItemTextAt(1), u"П");
}

TEST(RVRTFImportTest, NoTextGivesNoItems) {
  TRVImportedRTF imported;
  EXPECT_EQ(imported.Load("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}}"), kRtfOk);
  EXPECT_EQ(imported.doc.CountItems(), 0);
}

TEST(RVRTFImportTest, FailureKeepsWhatWasRead) {
  TRVImportedRTF imported;
  EXPECT_EQ(imported.Load("{\\rtf1 first\\par second\\par {\\b third"), kRtfUnexpectedEnd);
  EXPECT_EQ(imported.Structure(), "first|second|third");
  EXPECT_EQ(imported.props.ErrorCode(), kRtfUnexpectedEnd);
  EXPECT_EQ(imported.props.OpenGroupsAtEnd(), 2);
  EXPECT_EQ(imported.Load("{\\rtf1 whole}"), kRtfOk);
  EXPECT_EQ(imported.props.OpenGroupsAtEnd(), 0);
}

TEST(RVRTFImportTest, StopOffsetIsKeptAfterTheImport) {
  const std::string complete = Rtf("text\\par");
  const std::string truncated = "{\\rtf1 first\\par second";
  const std::string broken = "{\\rtf1 first\\'qq second}";
  TRVImportedRTF imported;
  imported.Load(complete);
  EXPECT_EQ(imported.props.StopOffset(), complete.size());
  imported.Load(truncated);
  EXPECT_EQ(imported.props.StopOffset(), truncated.size());
  EXPECT_EQ(imported.Load(broken), kRtfBadHex);
  EXPECT_EQ(imported.props.StopOffset(), 15u);

  imported.doc.AppendTextItem("before", 0, 0);
  std::istringstream stream(complete);
  int index = 0;
  EXPECT_EQ(imported.props.ImportRTF(stream, imported.doc, index), kRtfOk);
  EXPECT_EQ(imported.props.StopOffset(), complete.size());
  EXPECT_FALSE(imported.props.LoadRTFFile("/nonexistent/folder/file.rtf", imported.doc));
  EXPECT_EQ(imported.props.StopOffset(), 0u);
}

TEST(RVRTFImportTest, BookmarksBecomeCheckpoints) {
  TRVImportedRTF imported;
  imported.Load(Rtf("a\\par {\\*\\bkmkstart place}{\\*\\bkmkend place}b"));
  ASSERT_EQ(imported.doc.CountItems(), 2);
  const TRVCPInfo* checkpoint = imported.doc.ItemCheckpoint(1);
  ASSERT_NE(checkpoint, nullptr);
  EXPECT_EQ(checkpoint->Name, u"place");
  EXPECT_EQ(imported.doc.FirstCheckpoint(), checkpoint);

  TRVImportedRTF ignored;
  ignored.props.IgnoreBookmarks = true;
  ignored.Load(Rtf("{\\*\\bkmkstart place}b"));
  EXPECT_EQ(ignored.doc.ItemCheckpoint(0), nullptr);
}

// --- links ---

struct LinkCase {
  std::string instruction;  // as it stands in the RTF
  std::u16string basePath;
  std::u16string target;
  std::u16string hint;
};

TEST(RVRTFImportTest, HyperlinkTargetsAndHints) {
  const LinkCase cases[] = {
      {"HYPERLINK \"http://example.com/\"", u"", u"http://example.com/", u""},
      {"HYPERLINK \"http://example.com/\" \\\\l \"part\"", u"", u"http://example.com/#part", u""},
      {"HYPERLINK \\\\l \"part\"", u"", u"#part", u""},
      {"HYPERLINK \"page.htm\" \\\\o \"A tip with spaces\"", u"/docs/", u"/docs/page.htm", u"A tip with spaces"},
      {"HYPERLINK \"/top.htm\"", u"http://host.org/dir/", u"http://host.org/top.htm", u""},
      {"HYPERLINK \"mailto:me@example.com\"", u"/docs/", u"mailto:me@example.com", u""},
      {"HYPERLINK \"C:\\\\\\\\dir\\\\\\\\a%20b.htm\"", u"/docs/", u"C:\\dir\\a b.htm", u""},
      {" \\\\hyperlink  plain.htm", u"", u"plain.htm", u""},
  };
  for (const auto& c : cases) {
    TRVImportedRTF imported;
    imported.props.BasePath = c.basePath;
    std::u16string target;
    imported.props.OnReadHyperlink = [&](const std::u16string& t, const std::u16string&, std::int32_t&, TRVTag& tag,
                                         std::u16string&) {
      target = t;
      tag = std::int32_t{7};
    };
    imported.Load(Rtf("{\\field{\\*\\fldinst " + c.instruction + "}{\\fldrslt link}}"));
    ASSERT_EQ(imported.doc.CountItems(), 1) << c.instruction;
    EXPECT_EQ(target, c.target) << c.instruction;
    const TCustomRVItemInfo& item = imported.doc.ItemAt(0);
    EXPECT_EQ(item.ItemHint(), c.hint) << c.instruction;
    EXPECT_EQ(item.ItemTag(), TRVTag(std::int32_t{7}));
    EXPECT_TRUE(imported.style.TextStyleAt(item.StyleNo).Jump) << c.instruction;
  }
}

TEST(RVRTFImportTest, TextOutsideLinksTakesNoLinkStyle) {
  TRVImportedRTF imported;
  imported.Load(Rtf("{\\ul\\cf0 before}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt in}}{\\ul after}"));
  ASSERT_EQ(imported.doc.CountItems(), 3);
  EXPECT_FALSE(imported.style.TextStyleAt(imported.doc.ItemAt(0).StyleNo).Jump);
  EXPECT_TRUE(imported.style.TextStyleAt(imported.doc.ItemAt(1).StyleNo).Jump);
  EXPECT_FALSE(imported.style.TextStyleAt(imported.doc.ItemAt(2).StyleNo).Jump);
}

// --- sequences and notes ---

TEST(RVRTFImportTest, SequenceFields) {
  TRVImportedRTF imported;
  imported.Load(Rtf("Figure {\\field{\\*\\fldinst SEQ Figure \\\\* ROMAN}{\\fldrslt 9}}, "
                    "{\\field{\\*\\fldinst SEQ Figure \\\\* ROMAN}{\\fldrslt 9}}, "
                    "{\\field{\\*\\fldinst SEQ @footnote \\\\r 5}{\\fldrslt 9}}"));
  std::vector<const TRVSeqItemInfo*> seqs;
  for (int i = 0; i < imported.doc.CountItems(); ++i) {
    if (auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&imported.doc.ItemAt(i))) seqs.push_back(seq);
  }
  ASSERT_EQ(seqs.size(), 3u);
  EXPECT_EQ(seqs[0]->SeqName, u"Figure");
  EXPECT_EQ(seqs[0]->NumberType, rvseqUpperRoman);
  EXPECT_EQ(seqs[0]->Text, u"I");
  EXPECT_EQ(seqs[1]->Text, u"II");
  EXPECT_EQ(seqs[2]->SeqName, u"@footnote");
  EXPECT_TRUE(seqs[2]->Reset);
  EXPECT_EQ(seqs[2]->StartFrom, 5);
  EXPECT_EQ(imported.Structure(), "Figure +<label:I>+, +<label:II>+, +<label:5>");

  TRVImportedRTF reserved;
  reserved.Load(Rtf("{\\field{\\*\\fldinst SEQ @FOOTNOTE@}{\\fldrslt 1}}"));
  ASSERT_EQ(reserved.doc.CountItems(), 1);
  EXPECT_EQ(static_cast<const TRVSeqItemInfo&>(reserved.doc.ItemAt(0)).SeqName, u"_@FOOTNOTE@");
}

TEST(RVRTFImportTest, FootnotesAndEndnotes) {
  TRVImportedRTF imported;
  imported.Load(Rtf("One{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} first note}"
                    " two{\\super\\chftn}{\\footnote\\ftnalt\\pard\\plain{\\super\\chftn} an endnote}"
                    " three{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} second note} end"));
  EXPECT_EQ(imported.result, kRtfOk);
  std::vector<const TRVNoteItemInfo*> notes;
  for (int i = 0; i < imported.doc.CountItems(); ++i) {
    if (auto* note = dynamic_cast<const TRVNoteItemInfo*>(&imported.doc.ItemAt(i))) notes.push_back(note);
  }
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0]->StyleNo, ItemKindFootnote);
  EXPECT_EQ(notes[1]->StyleNo, ItemKindEndnote);
  EXPECT_EQ(notes[2]->StyleNo, ItemKindFootnote);
  EXPECT_EQ(notes[0]->Text, u"1");
  EXPECT_EQ(notes[1]->Text, u"i");
  EXPECT_EQ(notes[2]->Text, u"2");
  EXPECT_EQ(test::Dump(notes[0]->Document()), "<label:1>+ first note");
  EXPECT_EQ(test::Dump(notes[1]->Document()), "<label:i>+ an endnote");
  EXPECT_EQ(imported.Structure(), "One+<label:1>+ two+<label:i>+ three+<label:2>+ end");
  // The reference inside a note wants a style that keeps its place.
  const auto& reference = static_cast<const TRVLabelItemInfo&>(notes[0]->Document().ItemAt(0));
  EXPECT_EQ(reference.StyleNo, ItemKindNoteReference);

  TRVImportedRTF ignored;
  ignored.props.IgnoreNotes = true;
  ignored.Load(Rtf("One{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} first note} two"));
  EXPECT_EQ(ignored.Structure(), "One+ two");
}

// --- pictures ---

std::string PictureGroup(const std::string& kind, const std::string& bytes, const std::string& extra = "") {
  return "{\\pict\\" + kind + extra + " " + test::ToHex(bytes) + "}";
}

TEST(RVRTFImportTest, PicturesAndTheirFallbacks) {
  const std::string png = test::MakePng(4, 3);
  {
    TRVImportedRTF imported;
    imported.Load(Rtf("a" + PictureGroup("pngblip", png) + "b"));
    ASSERT_EQ(imported.Structure(), "a+<picture>+b");
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(imported.doc.ItemAt(1));
    EXPECT_EQ(picture.Image->Width(), 4);
    EXPECT_EQ(picture.ImageWidth, 0);  // natural size
  }
  {
    // Scaled pictures keep their shown size.
    TRVImportedRTF imported;
    imported.Load(Rtf(PictureGroup("pngblip", png, "\\picscalex200\\picscaley50")));
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(imported.doc.ItemAt(0));
    EXPECT_EQ(picture.ImageWidth, 8);
    EXPECT_EQ(picture.ImageHeight, 2);
  }
  {
    // An undecodable picture in "shppict" gives way to its alternative.
    TRVImportedRTF imported;
    imported.Load(Rtf("{\\*\\shppicttag{\\shppict" + PictureGroup("jpegblip", "not a jpeg") + "}}" +
                      "{\\nonshppict" + PictureGroup("pngblip", png) + "}"));
    ASSERT_EQ(imported.Structure(), "<picture>");
    EXPECT_EQ(static_cast<const TRVGraphicItemInfo&>(imported.doc.ItemAt(0)).Image->ClassName(), "TPngGraphic");
  }
  {
    // Elsewhere it shows the style sheet's invalid-picture image, and the
    // rest of the document still comes in.
    TRVImportedRTF imported;
    EXPECT_EQ(imported.Load(Rtf("a" + PictureGroup("jpegblip", "not a jpeg") + "b")), kRtfOk);
    ASSERT_EQ(imported.Structure(), "a+<picture>+b");
    const auto& picture = static_cast<const TRVGraphicItemInfo&>(imported.doc.ItemAt(1));
    const auto invalid = LoadGraphicFromBytes(imported.style.InvalidPicture, 96);
    EXPECT_EQ(picture.Image->ClassName(), invalid->ClassName());
    EXPECT_EQ(picture.Image->Width(), invalid->Width());
    EXPECT_EQ(picture.Image->Height(), invalid->Height());
  }
  {
    TRVImportedRTF imported;
    imported.props.IgnorePictures = true;
    imported.Load(Rtf("a" + PictureGroup("pngblip", png) + "b"));
    EXPECT_EQ(imported.Structure(), "a+b");
  }
}

TEST(RVRTFImportTest, PictureInsideALinkIsAHotPicture) {
  TRVImportedRTF imported;
  imported.Load(Rtf("{\\field{\\*\\fldinst HYPERLINK \"x\" \\\\o \"tip\"}{\\fldrslt " +
                    PictureGroup("pngblip", test::MakePng(2, 2)) + "}}"));
  ASSERT_EQ(imported.doc.CountItems(), 1);
  EXPECT_EQ(imported.doc.ItemAt(0).StyleNo, ItemKindHotPicture);
  EXPECT_EQ(imported.doc.ItemAt(0).ItemHint(), u"tip");
}

// --- where the content goes ---

TEST(RVRTFImportTest, ImportAtAnIndexKeepsTheDocumentWhole) {
  TRVImportedRTF imported;
  imported.doc.AppendTextItem("before", 0, 0);
  imported.doc.AppendTextItem("after", 0, 0);
  std::istringstream stream(Rtf("x\\par y"));
  int index = 1;
  EXPECT_EQ(imported.props.ImportRTF(stream, imported.doc, index), kRtfOk);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(imported.Structure(), "before|x|y|after");
}

TEST(RVRTFImportTest, FileThatCannotBeOpened) {
  TRVImportedRTF imported;
  EXPECT_FALSE(imported.props.LoadRTFFile("/nonexistent/file.rtf", imported.doc));
  EXPECT_EQ(imported.props.ErrorCode(), kRtfFileError);
  EXPECT_TRUE(imported.props.BasePath.empty());
}

TEST(RVRTFImportTest, SettingsRejectNegativeStylesAndAssignTheirShare) {
  TRVRTFReaderProperties props;
  EXPECT_THROW(props.SetTextStyleNo(-1), ERichDocError);
  EXPECT_THROW(props.SetParaStyleNo(-2), ERichDocError);
  try {
    props.SetTextStyleNo(-1);
  } catch (const ERichDocError& error) {
    EXPECT_EQ(error.Message(), "Value must not be negative");
  }
  props.SetTextStyleNo(3);
  props.TextStyleMode = rvrsAddIfNeeded;
  props.SkipHiddenText = false;
  props.IgnoreBookmarks = true;  // not among the settings Assign copies
  TRVRTFReaderProperties copy;
  copy.Assign(props);
  EXPECT_EQ(copy.TextStyleNo(), 3);
  EXPECT_EQ(copy.TextStyleMode, rvrsAddIfNeeded);
  EXPECT_FALSE(copy.SkipHiddenText);
  EXPECT_FALSE(copy.IgnoreBookmarks);
}

}  // namespace
}  // namespace varnolt
