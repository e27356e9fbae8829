// The RTF writer at document level: the header and its tables, paragraph
// starts, character and paragraph properties, escaping, failures and files.
#include <gtest/gtest.h>

#include "platform/Random.h"
#include "richtext/document/RVItemKinds.h"
#include "richtext/rtf/import/RVRTFProps.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::RtfBody;
using test::RtfHeader;
using test::TestDocument;
using test::WriteRtfString;

class RVRTFWriterTest : public ::testing::Test {
 protected:
  RVRTFWriterTest() { test::MakeMinimalStyle(style_); }

  TFontInfo& Font(int n) { return style_.TextStyles.Items(n); }
  TParaInfo& Para(int n) { return style_.ParaStyles.Items(n); }

  TRVStyle style_;
  TestDocument doc_{style_};
};

TEST_F(RVRTFWriterTest, EmptyDocumentAndEmptySelectionWriteNothing) {
  MemoryOutputStream out;
  EXPECT_TRUE(WriteRTF(doc_, out, u"", false, kRVColorWindow, nullptr, nullptr));
  doc_.AppendTextItemW(u"text", 0, 0);
  EXPECT_TRUE(WriteRTF(doc_, out, u"", true, kRVColorWindow, nullptr, nullptr));  // no selection
  EXPECT_EQ(out.Bytes(), "");
}

TEST_F(RVRTFWriterTest, OneEmptyParagraphIsTheHeaderAndOneParagraph) {
  doc_.AppendTextItemW(u"", 0, 0);
  EXPECT_EQ(WriteRtfString(doc_),
            "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\\deflang0\\deflangfe0{\\fonttbl{\\f0\\fnil Arial;}}" +
                test::kFixedColorTable +
                "\\red255\\green255\\blue255;}\r\n\r\n"
                "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 \\par}");
}

TEST_F(RVRTFWriterTest, ParagraphsLinesAndPageBreaks) {
  style_.ParaStyles.Add().Alignment = rvaCenter;
  doc_.AppendTextItemW(u"a", 0, 0);
  doc_.AppendTextItemW(u"b", 0, 0);  // same style: no properties again
  doc_.AppendTextItemW(u"c", 0, 1);
  doc_.AppendTextItemW(u"d", 0, -1);  // continues the line
  doc_.AppendTextItemW(u"e", 0, 1);
  doc_.ItemAt(4).SetLineBreakBefore(true);
  doc_.AppendTextItemW(u"f", 0, 1);
  doc_.ItemAt(5).SetPageBreakBefore(true);
  EXPECT_EQ(RtfBody(WriteRtfString(doc_)),
            "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 a"
            "\r\n\\par b"
            "\r\n\\par \\pard\\fi0\\li0\\qc\\ri0\\sb0\\sa0\\itap0 c"
            "d"
            "\r\n\\line e"
            "\r\n\\par \\page f\\par}");
}

TEST_F(RVRTFWriterTest, SameBytesEveryTimeWithTheGeneratorFixed) {
  TRVListInfo& list = style_.ListStyles.Add();
  list.Levels.Add().ListType = rvlstDecimal;
  list.Levels.Items(0).FormatString = "%0:s.";
  list.Levels.Add();
  doc_.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  doc_.AppendTextItemW(u"item", 0, -1);
  std::string first;
  std::string second;
  {
    ScopedRandomSeed seed(7);
    first = WriteRtfString(doc_);
  }
  {
    ScopedRandomSeed seed(7);
    second = WriteRtfString(doc_);
  }
  EXPECT_NE(first.find("\\listtemplateid"), std::string::npos);
  EXPECT_EQ(first, second);
}

TEST_F(RVRTFWriterTest, PropertiesWrittenAgainAreThoseWrittenTheFirstTime) {
  // A hook that adds to the properties has them written out every time; one
  // that adds nothing must leave the bytes as they are without it.
  TRVRTFWriteSettings asked;
  asked.OnSaveRTFExtra = [](TRVRTFSaveArea, const void*, std::int32_t, std::int32_t, bool, std::string&) {};
  for (const char* fixture : {"rtf/tables.rtf", "rtf/lists.rtf", "rtf/notes-pictures.rtf", "rtf/scripts.rtf"}) {
    SCOPED_TRACE(fixture);
    TRVStyle style;
    TestDocument doc(style);
    TRVRTFReaderProperties props;
    props.TextStyleMode = props.ParaStyleMode = rvrsAddIfNeeded;
    ASSERT_EQ(props.LoadRTF(test::ReadFileBytes(test::TestDataDir() / fixture), doc), 0);
    std::string reused;
    {
      ScopedRandomSeed seed(7);
      reused = WriteRtfString(doc);
    }
    ScopedRandomSeed seed(7);
    EXPECT_EQ(reused, WriteRtfString(doc, asked));
  }
}

TEST_F(RVRTFWriterTest, HeaderOptions) {
  doc_.AppendTextItemW(u"x", 0, 0);
  Font(0).Charset = 204;
  Para(0).SetStyleName(u"Body");
  Font(0).SetStyleName(u"Text");
  TRVRTFWriteSettings settings;
  settings.RTFOptions = {rvrtfSaveStyleSheet, rvrtfSaveDocParameters};
  settings.BiDiMode = rvbdRightToLeft;
  const std::string header = RtfHeader(WriteRtfString(doc_, settings, false, 0x123456));
  EXPECT_EQ(header.substr(0, header.find("{\\fonttbl")),
            "{\\rtf1\\ansi\\ansicpg1252\\uc0\\deff0\\deflang1049\\deflangfe1049\\rtldoc"
            "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440\r\n");
  EXPECT_NE(header.find("{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}"), std::string::npos);
  // The view's colour joins the table after the styles' colours.
  EXPECT_NE(header.find("\\red255\\green255\\blue255;\\red86\\green52\\blue18;}"), std::string::npos);
  EXPECT_NE(header.find("{\\stylesheet{\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0 Body;}{\\*\\cs1\\f0\\fs20 Text;}}"),
            std::string::npos);
  // Style references in the body; the text style is numbered after the paragraph styles.
  EXPECT_EQ(RtfBody(WriteRtfString(doc_, settings)), "\r\n\\pard\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\cs1\\f0\\fs20 x\\par}");
}

TEST_F(RVRTFWriterTest, DocumentParametersInTheirUnits) {
  doc_.AppendTextItemW(u"x", 0, 0);
  TRVRTFWriteSettings settings;
  settings.RTFOptions = {rvrtfSaveDocParameters};
  TRVDocParameters page;
  page.Units = rvuCentimeters;
  page.PageWidth = 21;
  page.PageHeight = 29.7;
  page.LeftMargin = page.RightMargin = 2.54;
  page.TopMargin = page.BottomMargin = 1.27;
  page.HeaderY = 1.27;  // 720 twips: the default, not written
  page.FooterY = 0.5;   // 0.5 cm, not 0.5 inch
  page.Orientation = poLandscape;
  page.ZoomPercent = 150;
  page.ZoomMode = rvzmPageWidth;
  page.MirrorMargins = true;
  settings.DocParameters = page;
  const std::string header = RtfHeader(WriteRtfString(doc_, settings));
  EXPECT_NE(header.find("\\landscape\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt720\\margb720"
                        "\\footery283\\viewscale150\\viewzk2\\margmirror\r\n{\\fonttbl"),
            std::string::npos)
      << header;
}

TEST_F(RVRTFWriterTest, InformationEntriesGoInAnInfoGroupEmptyOnesLeftOut) {
  doc_.AppendTextItemW(u"x", 0, 0);
  TRVRTFWriteSettings settings;
  EXPECT_EQ(WriteRtfString(doc_, settings).find("\\info"), std::string::npos);
  settings.DocInfo = TRVRTFDocInfo{u"Caf\u00E9 {menu}", u"", u"A. Author", u"one\r\ntwo"};
  const std::string rtf = WriteRtfString(doc_, settings);
  EXPECT_NE(rtf.find("{\\info{\\title Caf\\u233 \\'e9 \\{menu\\}}{\\author A. Author}{\\keywords one  two}}\r\n"),
            std::string::npos)
      << rtf;
  EXPECT_LT(rtf.find("{\\colortbl"), rtf.find("{\\info"));
}

TEST_F(RVRTFWriterTest, HeaderAndFooterDocuments) {
  doc_.AppendTextItemW(u"body", 0, 0);
  TestDocument header(style_);
  header.AppendTextItemW(u"top", 0, 0);
  auto line = std::make_unique<TRVBreakItemInfo>();
  line->Color = 0x123456;  // only the footer uses this colour
  TestDocument footer(style_);
  footer.AppendItem({}, std::move(line));
  const std::string rtf = WriteRtfString(doc_, {}, false, kRVColorWindow, &header, &footer);
  const std::string paragraph = "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 ";
  EXPECT_NE(rtf.find("\\red86\\green52\\blue18;}\r\n{\\header \r\n" + paragraph + "\\plain \\f0\\fs20 top\\par}"
                     "{\\footer \r\n" + paragraph + "\\pard\\plain\\fs6\\brdrb\\brdrs\\brdrw15\\brdrcf18\\par\\pard\\par}"
                     "\r\n\r\n" + paragraph + "\\plain \\f0\\fs20 body\\par}"),
            std::string::npos)
      << rtf;
}

TEST_F(RVRTFWriterTest, CharacterProperties) {
  struct Case {
    const char* name;
    void (*set)(TFontInfo&);
    const char* expected;
  };
  const Case cases[] = {
      {"bold italic strike", [](TFontInfo& f) { f.Style = {fsBold, fsItalic, fsStrikeOut}; }, "\\f0\\b\\i\\strike\\fs20 "},
      {"underline", [](TFontInfo& f) { f.Style = {fsUnderline}; }, "\\f0\\ul\\fs20 "},
      {"thick dotted underline in red",
       [](TFontInfo& f) {
         f.Style = {fsUnderline};
         f.UnderlineType = rvutThickDotted;
         f.UnderlineColor = clRed;
       },
       "\\f0\\ulthd\\ulc6\\fs20 "},
      {"subscript", [](TFontInfo& f) { f.SubSuperScriptType = rvsssSubscript; }, "\\f0\\sub\\fs20 "},
      {"superscript", [](TFontInfo& f) { f.SubSuperScriptType = rvsssSuperScript; }, "\\f0\\super\\fs20 "},
      {"raised", [](TFontInfo& f) { f.VShift = 30; }, "\\f0\\up6\\fs20 "},
      {"lowered", [](TFontInfo& f) { f.VShift = -25; }, "\\f0\\dn5\\fs20 "},
      {"scaled and spaced",
       [](TFontInfo& f) {
         f.CharScale = 150;
         f.CharSpacing = 2;
       },
       "\\f0\\charscalex150\\expndtw30\\fs20 "},
      {"capitals right to left",
       [](TFontInfo& f) {
         f.StyleEx = {rvfsAllCaps};
         f.BiDiMode = rvbdRightToLeft;
       },
       "\\f0\\caps\\rtlch\\fs20 "},
      {"colours",
       [](TFontInfo& f) {
         f.Color = clBlue;
         f.BackColor = 0x00FFFF;
         f.Size = 12;
       },
       "\\f0\\fs24\\chcbpat7\\cf2 "},
  };
  for (const Case& c : cases) {
    TRVStyle style;
    test::MakeMinimalStyle(style);
    style.TextStyles.Add();  // style 0 keeps the defaults
    c.set(style.TextStyles.Items(1));
    TestDocument doc(style);
    doc.AppendTextItemW(u"x", 1, 0);
    EXPECT_EQ(RtfBody(WriteRtfString(doc)), "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain " +
                                                std::string(c.expected) + "x\\par}")
        << c.name;
  }
}

TEST_F(RVRTFWriterTest, LanguageOnlyForCharsetsOtherThanTheFirstStyles) {
  style_.TextStyles.Add().Charset = 161;  // Greek
  style_.TextStyles.Add().Charset = 0;    // Western: no language identifier
  doc_.AppendTextItemW(u"a", 1, 0);
  doc_.AppendTextItemW(u"b", 2, -1);
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\plain \\f1\\lang1032\\fs20 a"), std::string::npos) << body;
  EXPECT_NE(body.find("\\plain \\f2\\fs20 b"), std::string::npos) << body;
}

TEST_F(RVRTFWriterTest, ParagraphProperties) {
  struct Case {
    const char* name;
    void (*set)(TParaInfo&);
    const char* expected;
  };
  const Case cases[] = {
      {"percent spacing",
       [](TParaInfo& p) { p.LineSpacing = 150; },
       "\\sl360\\slmult1\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
      {"at least", [](TParaInfo& p) {
         p.LineSpacingType = rvlsLineHeightAtLeast;
         p.LineSpacing = 20;
       },
       "\\sl300\\slmult0\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
      {"exact", [](TParaInfo& p) {
         p.LineSpacingType = rvlsLineHeightExact;
         p.LineSpacing = 20;
       },
       "\\sl-300\\slmult0\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
      {"keeps, indents, spacing",
       [](TParaInfo& p) {
         p.Options = {rvpaoKeepLinesTogether, rvpaoKeepWithNext};
         p.FirstIndent = -10;
         p.LeftIndent = 20;
         p.RightIndent = 4;
         p.SpaceBefore = 6;
         p.SpaceAfter = 8;
         p.Alignment = rvaJustify;
       },
       "\\keep\\keepn\\fi-150\\li300\\qj\\ri60\\sb90\\sa120"},
      {"tabs",
       [](TParaInfo& p) {
         p.Tabs.Add({96, rvtaRight, u"."});
         p.Tabs.Add({48, rvtaLeft, u""});
         p.Tabs.Add({144, rvtaCenter, u"-"});
         p.Tabs.Add({200, rvtaLeft, u"="});
         p.Tabs.Add({210, rvtaLeft, u"_"});
         p.Tabs.Add({0, rvtaLeft, u""});  // at the paragraph's start: not written
       },
       "\\fi0\\li0\\tx720\\tqr\\tldot\\tx1440\\tqc\\tlhyph\\tx2160\\tleq\\tx3000\\tlul\\tx3150\\ql\\ri0\\sb0\\sa0"},
      {"direction and background",
       [](TParaInfo& p) {
         p.BiDiMode = rvbdLeftToRight;
         p.Background.Color = clRed;
       },
       "\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\ltrpar\\cbpat6"},
      {"single border on two sides",
       [](TParaInfo& p) {
         p.Border.Style = rvbSingle;
         p.Border.Color = clBlue;
         p.Border.Width = 2;
         p.Border.BorderOffsets = {1, 2, 3, 4};
         p.Border.VisibleBorders = {true, false, false, true};
       },
       "\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\brdrbtw\\brdrl\\brsp15\\brdrs\\brdrcf2\\brdrw30"
       "\\brdrb\\brsp60\\brdrs\\brdrcf2\\brdrw30"},
      {"thick inside border swaps on the far sides",
       [](TParaInfo& p) {
         p.Border.Style = rvbThickInside;
         p.Border.Width = 1;
         p.Border.VisibleBorders = {false, true, true, false};
       },
       "\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\brdrbtw\\brdrt\\brsp0\\brdrthtnmg\\brdrcf0\\brdrw30"
       "\\brdrr\\brsp0\\brdrtnthmg\\brdrcf0\\brdrw30"},
      {"border without colour", [](TParaInfo& p) {
         p.Border.Style = rvbDouble;
         p.Border.Color = kRVColorNone;
       },
       "\\fi0\\li0\\ql\\ri0\\sb0\\sa0"},
  };
  for (const Case& c : cases) {
    TRVStyle style;
    test::MakeMinimalStyle(style);
    c.set(style.ParaStyles.Items(0));
    TestDocument doc(style);
    doc.AppendTextItemW(u"x", 0, 0);
    EXPECT_EQ(RtfBody(WriteRtfString(doc)),
              "\r\n\\pard" + std::string(c.expected) + "\\itap0 \\plain \\f0\\fs20 x\\par}")
        << c.name;
  }
}

TEST_F(RVRTFWriterTest, TextEscaping) {
  struct Case {
    const char* name;
    std::u16string text;
    CodePageId codePage;
    bool fallback;
    const char* expected;
  };
  const Case cases[] = {
      {"syntax characters", u"a{b}c\\d", 1252, true, "a\\{b\\}c\\\\d"},
      {"control characters", u"a\x02" u"b\x1F", 1252, true, "a\\'02b\\'1f"},
      {"keyword characters", u"\u00A0\u00AD\u2013\u2014\u2018\u2019\u201C\u201D\u2002\u2003\u2005", 1252, true,
       "\\~\\-\\endash \\emdash \\lquote \\rquote \\ldblquote \\rdblquote \\enspace \\emspace \\qmspace "},
      {"one-byte fallback", u"caf\u00E9", 1252, true, "caf\\u233 \\'e9"},
      {"without fallback", u"caf\u00E9", 1252, false, "caf\\u233 "},
      {"Cyrillic in its code page", u"\u0416", 1251, true, "\\u1046 \\'c6"},
      {"Cyrillic beyond the code page", u"\u0416", 1252, true, "\\u1046 ?"},
      {"two-byte fallback", u"\u65E5a", 932, true, "\\uc2\\u26085 \\'93\\'faa\\uc1"},
      {"above 32767 stays positive", u"\uFF21", 1252, false, "\\u65313 "},
      {"zero code unit", std::u16string(1, u'\0'), 1252, true, "\\u0 \\'00"},
  };
  for (const Case& c : cases) {
    TRVStyle style;
    test::MakeMinimalStyle(style);
    style.DefCodePage = c.codePage;
    TestDocument doc(style);
    doc.AppendTextItemW(c.text, 0, 0);
    TRVRTFWriteSettings settings;
    settings.RTFOptions = c.fallback ? TRVRTFOptions{rvrtfDuplicateUnicode} : TRVRTFOptions{};
    EXPECT_EQ(RtfBody(WriteRtfString(doc, settings)),
              "\r\n\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 \\plain \\f0\\fs20 " + std::string(c.expected) + "\\par}")
        << c.name;
  }
}

TEST_F(RVRTFWriterTest, EightBitTextAndRtfCodeStyles) {
  TFontInfo& ansi = style_.TextStyles.Add();
  ansi.Unicode = false;
  TFontInfo& code = style_.TextStyles.Add();
  code.Options = {rvteoRTFCode};
  TFontInfo& html = style_.TextStyles.Add();
  html.Options = {rvteoHTMLCode};
  doc_.AppendTextItem("a{\\}\x95\xA0\xE9", 1, 0);
  doc_.AppendTextItemW(u"{\\b raw}\u00E9", 2, -1);
  doc_.AppendTextItemW(u"<b>html only</b>", 3, -1);
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\f0\\fs20 a\\{\\\\\\}\\bullet \\~\\'e9"), std::string::npos) << body;
  EXPECT_NE(body.find("\\f0\\fs20 {\\b raw}\\u233 \\'e9"), std::string::npos) << body;
  EXPECT_EQ(body.find("html"), std::string::npos) << body;
}

TEST_F(RVRTFWriterTest, StyleNumbersBeyondTheTablesTakeTheFirstStyle) {
  doc_.AppendTextItemW(u"x", 0, 0);
  doc_.ItemAt(0).StyleNo = 40;
  const std::string body = RtfBody(WriteRtfString(doc_));
  EXPECT_NE(body.find("\\plain \\f0\\fs20 x"), std::string::npos) << body;
}

TEST_F(RVRTFWriterTest, HooksAddTheirTextAtFixedPlaces) {
  doc_.AppendTextItemW(u"x", 0, 0);
  TRVRTFWriteSettings settings;
  settings.RTFOptions = {rvrtfSaveStyleSheet};
  settings.OnSaveRTFExtra = [](TRVRTFSaveArea area, const void*, std::int32_t index1, std::int32_t index2,
                               bool inStyleSheet, std::string& code) {
    code = "\\x" + std::to_string(area) + "_" + std::to_string(index1) + "_" + std::to_string(index2) +
           (inStyleSheet ? "s" : "b");
  };
  const std::string rtf = WriteRtfString(doc_, settings);
  EXPECT_NE(rtf.find("{\\s0\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\x1_-1_0s Paragraph Style;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("{\\*\\cs1\\f0\\fs20\\x0_-1_0s Font Style;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\x5_-1_-1b\r\n\r\n"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\itap0\\x1_-1_0b \\plain \\cs1\\f0\\fs20\\x0_-1_0b x"), std::string::npos) << rtf;
}

class FailingStream : public OutputStream {
 public:
  explicit FailingStream(std::size_t capacity) : capacity_(capacity) {}
  void Write(std::string_view bytes) override {
    if (written_.size() + bytes.size() > capacity_) throw Exception("disk full");
    written_.append(bytes);
  }
  std::int64_t Position() const override { return static_cast<std::int64_t>(written_.size()); }
  void Restart() override { written_.clear(); }
  std::string written_;

 private:
  std::size_t capacity_;
};

TEST_F(RVRTFWriterTest, AFailingStreamGivesFalse) {
  doc_.AppendTextItemW(std::u16string(200000, u'a'), 0, 0);
  FailingStream stream(100000);
  EXPECT_FALSE(WriteRTF(doc_, stream, u"", false, kRVColorWindow, nullptr, nullptr));
  EXPECT_EQ(stream.written_.rfind("{\\rtf1", 0), 0u);
}

TEST_F(RVRTFWriterTest, FileFormWritesCompleteFilesOnly) {
  test::ScratchDir dir;
  doc_.AppendTextItemW(u"file text", 0, 0);
  std::u16string seenPath;
  TRVRTFWriteSettings settings;
  settings.OnSaveItemToFile = [&](const std::u16string& path, const TCustomRVData&, int, std::string&, bool&) {
    seenPath = path;
  };
  const auto file = dir / "out.rtf";
  ASSERT_TRUE(WriteRTFFile(doc_, file, false, kRVColorWindow, nullptr, nullptr, settings));
  EXPECT_EQ(test::ReadFileBytes(file), WriteRtfString(doc_));
  EXPECT_EQ(Utf16ToUtf8(seenPath), (dir.path() / "").string());

  EXPECT_FALSE(WriteRTFFile(doc_, dir / "missing" / "out.rtf", false, kRVColorWindow, nullptr, nullptr));
  // A failure inside the writer keeps the earlier file as it was.
  settings.OnSaveItemToFile = [](const std::u16string&, const TCustomRVData&, int, std::string&, bool&) {
    throw Exception("hook failed");
  };
  EXPECT_FALSE(WriteRTFFile(doc_, file, false, kRVColorWindow, nullptr, nullptr, settings));
  EXPECT_EQ(test::ReadFileBytes(file), WriteRtfString(doc_));
}

TEST_F(RVRTFWriterTest, PixelsPerInchOverrideScalesEveryLength) {
  Para(0).LeftIndent = 10;
  doc_.AppendTextItemW(u"x", 0, 0);
  TRVRTFWriteSettings settings;
  settings.PixelsPerInch = 120;
  EXPECT_NE(WriteRtfString(doc_, settings).find("\\fi0\\li120\\ql"), std::string::npos);
}

}  // namespace
}  // namespace varnolt
