// Pictures, objects and fields as the RTF reader delivers them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "richtext/graphic/RVJpegPng.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"
#include "tests/richtext/rtf/reader/RVRTFTestRecorder.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::MakeDib;
using test::MakeJpeg;
using test::MakePng;
using test::MakeWmf;
using test::ParseRtf;
using test::ToHex;
using test::TRVRTFRecorder;
using Events = std::vector<std::string>;

std::string Pict(const std::string& keywords, const std::string& data) {
  return "{\\pict" + keywords + " " + ToHex(data) + "}";
}

std::string LineWmf() {
  std::string line;
  AppendU16(line, 10);
  AppendU16(line, 10);
  return MakeWmf({{0x0213, line}});  // a line-to record draws something
}

std::string DibWmf() { return MakeWmf({{0x0103, std::string("\x08\x00", 2)}, {0x0D33, test::SetDibToDeviceParameters(MakeDib(2, 2))}}); }

struct PictureCase {
  const char* name;
  std::string rtf;
  Events events;
  bool extractBitmaps = true;
};

TEST(RVRTFPicturesTest, EveryPictureKind) {
  const std::string ddbRows = std::string("\xC0\x00\x40\x00", 4);
  const std::string bigHeader = MakeDib(100, 100).substr(0, 60);
  const PictureCase cases[] = {
      {"PNG", Pict("\\pngblip\\picw4\\pich3", MakePng(4, 3)), {"pic:TPngGraphic 4x3@NP"}},
      {"JPEG", Pict("\\jpegblip", MakeJpeg(5, 2)), {"pic:TJPEGImage 5x2@NP"}},
      {"device-independent bitmap", Pict("\\dibitmap0\\picw2\\pich2", MakeDib(2, 2)), {"pic:TBitmap 2x2@NP"}},
      {"device-dependent bitmap", Pict("\\wbitmap0\\picw3\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2", ddbRows),
       {"pic:TBitmap 3x2@NP"}},
      {"metafile wrapping one bitmap", Pict("\\wmetafile8\\picw2540\\pich1270", DibWmf()), {"pic:TBitmap 2x2@NP"}},
      {"metafile kept when asked", Pict("\\wmetafile8\\picw2540\\pich1270", DibWmf()), {"pic:TMetafile 96x48@NP"},
       false},
      {"metafile that draws", Pict("\\wmetafile8\\picw2540\\pich2540", LineWmf()), {"pic:TMetafile 96x96@NP"}},
      // The size is in the units of the mapping mode.
      {"metafile in pixels", Pict("\\wmetafile1\\picw16\\pich8", LineWmf()), {"pic:TMetafile 16x8@NP"}},
      {"metafile in twips", Pict("\\wmetafile6\\picw1440\\pich720", LineWmf()), {"pic:TMetafile 96x48@NP"}},
      {"metafile in hundredths of an inch", Pict("\\wmetafile4\\picw100\\pich50", LineWmf()),
       {"pic:TMetafile 96x48@NP"}},
      {"enhanced metafile", Pict("\\emfblip", test::MakeEmf(5080, 2540)), {"pic:TMetafile 192x96@NP"}},
      {"Macintosh picture has no class", Pict("\\macpict", "abc"), {"pic:none@NP"}},
      {"OS/2 metafile has no class", Pict("\\pmmetafile0", "abc"), {"pic:none@NP"}},
      {"no data", "{\\pict\\pngblip}", {"pic:none@NP"}},
      // Undecodable pictures come without a graphic and the parse goes on.
      {"not a metafile", Pict("\\wmetafile8", "\x01\x02\x03\x04"), {"pic:none@NP"}},
      {"not a JPEG", Pict("\\jpegblip", "\xFF\xD8\xFF\x00"), {"pic:none@NP"}},
      {"bitmap larger than its data", Pict("\\dibitmap0", bigHeader), {"pic:none@NP"}},
      {"device bits shorter than declared", Pict("\\wbitmap0\\picw64\\pich64\\wbmwidthbytes8", ddbRows),
       {"pic:none@NP"}},
      {"binary data", "{\\pict\\pngblip\\bin" + std::to_string(MakePng(2, 2).size()) + " " + MakePng(2, 2) + "}",
       {"pic:TPngGraphic 2x2@NP"}},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    reader.ExtractMetafileBitmaps = c.extractBitmaps;
    TRVRTFRecorder recorder(reader);
    EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + c.rtf + "x}"), kRtfOk) << c.name;
    Events expected = c.events;
    expected.insert(expected.end(), {"CP:x", "end"});
    EXPECT_EQ(recorder.events, expected) << c.name;
  }
}

TEST(RVRTFPicturesTest, PictureRecordAndSizes) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  ASSERT_EQ(ParseRtf(reader, "{\\rtf1 " + Pict("\\pngblip\\picw4\\pich3\\picwgoal1440\\pichgoal720\\picscalex50",
                                               MakePng(4, 3)) + "}"),
            kRtfOk);
  EXPECT_EQ(recorder.lastPicture.kind, rtf_pk_Png);
  EXPECT_EQ(recorder.lastPicture.width, 96);
  EXPECT_EQ(recorder.lastPicture.height, 48);
  EXPECT_EQ(recorder.lastPicture.scaleX, 50);
  EXPECT_EQ(recorder.lastPicture.scaleY, 100);
  EXPECT_EQ(recorder.lastPicture.data, MakePng(4, 3));

  // "bin" takes its bytes as they are, braces included.
  ASSERT_EQ(ParseRtf(reader, "{\\rtf1{\\pict\\jpegblip\\bin3 {{}}}"), kRtfOk);
  EXPECT_EQ(recorder.lastPicture.data, "{{}");
}

TEST(RVRTFPicturesTest, PicturePositionsAndAlternatives) {
  const std::string png = Pict("\\pngblip", MakePng(1, 1));
  const std::string wmf = Pict("\\wmetafile8\\picw2540\\pich2540", LineWmf());
  const std::string pair = "{\\*\\shppict" + png + "}{\\nonshppict" + wmf + "}";
  struct Case {
    const char* name;
    std::string rtf;
    bool insert;
    Events events;
  };
  const Case cases[] = {
      {"inline", "a" + png + "b", true, {"NP:a", "pic:TPngGraphic 1x1@CP", "CP:b", "end"}},
      {"the alternative is skipped", pair, true, {"pic:TPngGraphic 1x1@NP", "end"}},
      {"the alternative stands in", pair, false, {"pic:TPngGraphic 1x1@NP", "pic:TMetafile 96x96@NP", "end"}},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader);
    recorder.insertPictures = c.insert;
    EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + c.rtf + "}"), kRtfOk) << c.name;
    EXPECT_EQ(recorder.events, c.events) << c.name;
  }
}

TEST(RVRTFPicturesTest, WithoutAPictureHandlerThePictureIsSkipped) {
  TRVRTFReader reader;
  test::RecorderOptions options;
  options.pictures = false;
  TRVRTFRecorder recorder(reader, options);
  EXPECT_EQ(ParseRtf(reader, "{\\rtf1 a" + Pict("\\pngblip", MakePng(1, 1)) + "b}"), kRtfOk);
  EXPECT_EQ(recorder.events, (Events{"NP:a", "CP:b", "end"}));
}

TEST(RVRTFPicturesTest, Objects) {
  struct Case {
    std::string rtf;
    bool insert;
    Events events;
    std::uint8_t result;
  };
  const Case cases[] = {
      {R"({\object\objemb\objw100\objh50{\*\objdata 0102ff}{\result shown}})", false,
       {"obj:0 100x50 3@NP", "CP:shown", "end"}, kRtfOk},
      {R"({\object\objocx{\*\objdata 01}{\result hidden}}x)", true, {"obj:7 0x0 1@NP", "CP:x", "end"}, kRtfOk},
      {R"({\object{\*\objdata 01 02}})", true, {}, kRtfBadPictureOrObject},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    TRVRTFRecorder recorder(reader);
    reader.OnNewObject = [&](TRVRTFReader&, const TRVRTFObject& object, TRVRTFPosition position, bool& inserted) {
      recorder.events.push_back("obj:" + std::to_string(object.kind) + " " + std::to_string(object.width) + "x" +
                                std::to_string(object.height) + " " + std::to_string(object.data.size()) + "@" +
                                test::PositionName(position));
      inserted = c.insert;
    };
    EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + c.rtf + "}"), c.result) << c.rtf;
    EXPECT_EQ(recorder.events, c.events) << c.rtf;
  }
  // Without a handler the object's result is read as text.
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  EXPECT_EQ(ParseRtf(reader, R"({\rtf1{\object{\*\objdata 01}{\result shown}}})"), kRtfOk);
  EXPECT_EQ(recorder.events, (Events{"NP:shown", "end"}));
}

std::string IncludePicture(const std::string& name, const std::string& result = "") {
  return "{\\field{\\*\\fldinst INCLUDEPICTURE \"" + name + "\" \\\\* MERGEFORMAT}{\\fldrslt " + result + "}}";
}

TEST(RVRTFPicturesTest, IncludedPicturesFromFiles) {
  test::ScratchDir scratch;
  test::WriteFileBytes(scratch / "pic.png", MakePng(3, 2));
  test::WriteFileBytes(scratch / "with space.png", MakePng(2, 2));
  std::filesystem::create_directory(scratch / "folder.png");
  ASSERT_EQ(::mkfifo((scratch / "pipe.png").c_str(), 0600), 0);
  const std::string base = scratch.path().string() + "/";
  const std::string fallback = Pict("\\pngblip", MakePng(1, 1));
  struct Case {
    const char* name;
    std::string rtf;
    Events events;
  };
  const Case cases[] = {
      {"relative to the base path", IncludePicture("pic.png", fallback),
       {"pic:TPngGraphic 3x2 field " + base + "pic.png@NP", "end"}},
      {"percent-encoded", IncludePicture("with%20space.png"),
       {"pic:TPngGraphic 2x2 field " + base + "with space.png@NP", "end"}},
      {"missing file: the result stands in", IncludePicture("missing.png", fallback),
       {"pic:TPngGraphic 1x1@NP", "end"}},
      {"a folder is not read", IncludePicture("folder.png", "text"), {"NP:text", "end"}},
      {"a pipe is not read", IncludePicture("pipe.png", "text"), {"NP:text", "end"}},
  };
  for (const auto& c : cases) {
    TRVRTFReader reader;
    reader.BasePath = Utf8ToUtf16(base);
    TRVRTFRecorder recorder(reader);
    EXPECT_EQ(ParseRtf(reader, "{\\rtf1 " + c.rtf + "}"), kRtfOk) << c.name;
    EXPECT_EQ(recorder.events, c.events) << c.name;
  }
}

TEST(RVRTFPicturesTest, IncludedPicturesFromTheClient) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  std::vector<std::string> asked;
  reader.OnImportPicture = [&](TRVRTFReader&, const TRVUnicodeString& location, std::unique_ptr<TGraphic>& graphic,
                               bool& invalid) {
    asked.push_back(Utf16ToUtf8(location));
    if (location == u"C:\\pics\\a.png") graphic = TPngGraphic::FromBytes(MakePng(7, 7));
    if (location == u"bad.png") {
      graphic = TPngGraphic::FromBytes(MakePng(6, 6));
      invalid = true;
    }
  };
  const std::string rtf = "{\\rtf1 " + IncludePicture("C:\\\\\\\\pics\\\\\\\\a.png", Pict("\\pngblip", MakePng(1, 1))) +
                          IncludePicture("bad.png", "r") + "}";
  EXPECT_EQ(ParseRtf(reader, rtf), kRtfOk);
  EXPECT_EQ(asked, (Events{"C:\\pics\\a.png", "bad.png"}));
  // An invalid picture waits for the end of its field and follows the result.
  EXPECT_EQ(recorder.events,
            (Events{"pic:TPngGraphic 7x7 field C:\\pics\\a.png@NP", "CP:r", "pic:TPngGraphic 6x6 field@CP", "end"}));
}

TEST(RVRTFPicturesTest, SymbolSequenceAndHyperlinkFields) {
  TRVRTFReader reader;
  TRVRTFRecorder recorder(reader);
  std::map<std::string, std::pair<std::u16string, int>> fontAtText;
  std::map<std::string, std::u16string> instructionAtText;
  auto record = reader.OnNewText;
  reader.OnNewText = [&](TRVRTFReader& sender, const TRVAnsiString& text, TRVRTFPosition position) {
    record(sender, text, position);
    fontAtText[text] = {sender.RTFState().charProps.fontNameOverride, sender.RTFState().charProps.size};
    instructionAtText[text] = sender.RTFState().FieldInstruction();
  };
  auto recordUnicode = reader.OnNewUnicodeText;
  reader.OnNewUnicodeText = [&](TRVRTFReader& sender, const TRVUnicodeString& text, TRVRTFPosition position) {
    recordUnicode(sender, text, position);
    fontAtText[Utf16ToUtf8(text)] = {sender.RTFState().charProps.fontNameOverride, sender.RTFState().charProps.size};
  };
  const std::string rtf =
      R"({\rtf1{\field{\*\fldinst SYMBOL 183 \\f "Symbol" \\s 10.5}{\fldrslt }}after )"
      R"({\field{\*\fldinst SYMBOL 8364 \\f "Arial" \\s 12}{\fldrslt }})"
      R"({\field{\*\fldinst SYMBOL 65}{\fldrslt }})"
      R"(Fig {\field{\*\fldinst SEQ Figure \\* ROMAN \\r 3}{\fldrslt 1}} )"
      R"({\field{\*\fldinst  SEQ Table \\*alphabetic}{\fldrslt a}})"
      R"({\field{\*\fldinst HYPERLINK "http://example.org/" \\o "hint"}{\fldrslt link}}})";
  ASSERT_EQ(ParseRtf(reader, rtf), kRtfOk);
  EXPECT_EQ(recorder.events,
            (Events{"NP:u'\xE2\x80\xA2'", "CP:after ", "CP:u'\xE2\x82\xAC'", "CP:Fig ", "seq:Figure,4,reset,3@CP", "CP: ",
                    "seq:Table,1,cont,0@CP", "CP:link", "end"}));
  // The Symbol font's bullet arrives as the Unicode bullet.
  EXPECT_EQ(fontAtText.at("\xE2\x80\xA2"), std::make_pair(std::u16string(u"Symbol"), 10));
  EXPECT_EQ(fontAtText.at("after "), std::make_pair(std::u16string(), 12)) << "restored after the symbol";
  EXPECT_EQ(instructionAtText.at("link"), u"HYPERLINK \"http://example.org/\" \\o \"hint\"");
  EXPECT_EQ(instructionAtText.at("after "), u"");
}

}  // namespace
}  // namespace varnolt
