// RTF inserted at an editor's caret: one undoable step, whatever the content
// and however the import ends.
#include <gtest/gtest.h>

#include "richtext/editor/RVEdit.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "tests/richtext/rtf/import/RVRTFImportTestSupport.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

using test::Dump;
using test::Rtf;

class RVRTFImportEditorTest : public ::testing::Test {
 protected:
  RVRTFImportEditorTest() { editor.SetStyle(&style); }

  std::uint8_t Insert(const std::string& rtf) { return editor.InsertRTF(props, rtf); }
  std::string Structure() const { return Dump(editor.RVData()); }

  TRVStyle style;
  TRichDocEdit editor;
  TRVRTFReaderProperties props;
};

TEST_F(RVRTFImportEditorTest, AnEmptyPageTakesTheContentWithItsParagraphStyles) {
  editor.Format();
  EXPECT_EQ(Insert(Rtf("\\qc centred\\par\\pard plain")), kRtfOk);
  EXPECT_EQ(Structure(), "centred|plain");
  EXPECT_EQ(editor.RVData().ItemAt(0).ParaNo, 1);
  EXPECT_EQ(editor.RVData().ItemAt(1).ParaNo, 0);
  EXPECT_EQ(editor.UndoList().Count(), 1);
  EXPECT_TRUE(editor.Modified());
  EXPECT_EQ(editor.Caret(), (TRVPosition{1, 6}));

  editor.UndoLastGroup();
  EXPECT_EQ(Structure(), "{}");
  editor.RedoLastGroup();
  EXPECT_EQ(Structure(), "centred|plain");
}

TEST_F(RVRTFImportEditorTest, ContentJoinsTheParagraphAtTheCaret) {
  editor.InsertTextAtCaret(u"abcdef");
  editor.SetCaret(0, 4);
  const int groups = editor.UndoList().Count();
  EXPECT_EQ(Insert(Rtf("\\qc X\\par Y")), kRtfOk);
  EXPECT_EQ(Structure(), "abcX|Ydef");
  // The first paragraph keeps the paragraph style at the caret.
  EXPECT_EQ(editor.RVData().ItemAt(0).ParaNo, 0);
  EXPECT_EQ(editor.UndoList().Count(), groups + 1);
  EXPECT_EQ(editor.Caret(), (TRVPosition{1, 2}));
  editor.UndoLastGroup();
  EXPECT_EQ(Structure(), "abcdef");
}

TEST_F(RVRTFImportEditorTest, TheSelectionIsReplaced) {
  editor.InsertTextAtCaret(u"abcdef");
  editor.SetSelectionBounds(0, 2, 0, 5);
  EXPECT_EQ(Insert(Rtf("Z")), kRtfOk);
  EXPECT_EQ(Structure(), "aZef");
  editor.UndoLastGroup();
  EXPECT_EQ(Structure(), "abcdef");
}

TEST_F(RVRTFImportEditorTest, ATableInTheMiddleOfAParagraph) {
  editor.InsertTextAtCaret(u"abcd");
  editor.SetCaret(0, 3);
  EXPECT_EQ(Insert(Rtf("\\trowd\\cellx1000\\pard\\intbl cell\\cell\\row")), kRtfOk);
  EXPECT_EQ(Structure(), "ab|<-60>|cd");
  editor.UndoLastGroup();
  EXPECT_EQ(Structure(), "abcd");
}

TEST_F(RVRTFImportEditorTest, AListParagraphStartsItsOwnParagraph) {
  props.ParaStyleMode = rvrsAddIfNeeded;
  editor.InsertTextAtCaret(u"abcd");
  editor.SetCaret(0, 3);
  EXPECT_EQ(Insert("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 item\\par}"),
            kRtfOk);
  EXPECT_EQ(Structure(), "ab|<marker>+itemcd");
}

// What was read before a failure comes in, and goes again with one undo.
TEST_F(RVRTFImportEditorTest, APartialImportIsOneUndoableStep) {
  editor.InsertTextAtCaret(u"start");
  const int beeps = editor.BeepCount();
  const int groups = editor.UndoList().Count();
  EXPECT_EQ(Insert("{\\rtf1 one\\par two\\par {\\b three"), kRtfUnexpectedEnd);
  EXPECT_EQ(props.StopOffset(), 32u);
  EXPECT_EQ(Structure(), "startone|two|three");
  EXPECT_EQ(editor.BeepCount(), beeps + 1);
  EXPECT_EQ(editor.UndoList().Count(), groups + 1);
  editor.UndoLastGroup();
  EXPECT_EQ(Structure(), "start");
}

TEST_F(RVRTFImportEditorTest, ARefusingEditorStaysAsItWas) {
  editor.InsertTextAtCaret(u"text");
  editor.ReadOnly = true;
  const int beeps = editor.BeepCount();
  EXPECT_EQ(Insert(Rtf("more")), kRtfHandlerError);
  EXPECT_EQ(Structure(), "text");
  EXPECT_EQ(editor.BeepCount(), beeps + 1);
}

TEST_F(RVRTFImportEditorTest, NothingToRead) {
  editor.InsertTextAtCaret(u"text");
  const int groups = editor.UndoList().Count();
  EXPECT_EQ(Insert(Rtf("")), kRtfOk);
  EXPECT_EQ(props.StopOffset(), Rtf("").size());
  EXPECT_EQ(Insert(""), kRtfOk);
  EXPECT_EQ(props.StopOffset(), 0u);
  EXPECT_EQ(Structure(), "text");
  EXPECT_EQ(editor.UndoList().Count(), groups);
}

TEST_F(RVRTFImportEditorTest, AFileWithItsFolderAsBasePath) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "link.rtf", Rtf("{\\field{\\*\\fldinst HYPERLINK \"page.htm\"}{\\fldrslt go}}"));
  std::u16string target;
  props.OnReadHyperlink = [&](const std::u16string& t, const std::u16string&, std::int32_t&, TRVTag&,
                              std::u16string&) { target = t; };
  EXPECT_EQ(editor.InsertRTFFile(props, (dir / "link.rtf").string()), kRtfOk);
  EXPECT_EQ(target, Utf8ToUtf16(dir.path().string() + "/page.htm"));
  EXPECT_TRUE(props.BasePath.empty());
  EXPECT_EQ(editor.InsertRTFFile(props, (dir / "missing.rtf").string()), kRtfFileError);
}

// A file is read a chunk at a time while the page is built. A read that
// fails after the first chunk is a file error, also where the bytes read
// until then would have made a complete document; what was read is kept.
TEST_F(RVRTFImportEditorTest, AReadFailingPartWayIsAFileError) {
  const std::string longText(3 << 20, 'w');
  struct Case {
    const char* name;
    std::string rtf;
  };
  const Case cases[] = {
      {"inside the document", "{\\rtf1 first\\par " + longText + "\\par}"},
      {"after the document's end", "{\\rtf1 first\\par}" + std::string(3 << 20, ' ')},
  };
  for (const auto& c : cases) {
    test::ScratchDir dir;
    const auto file = dir / "failing.rtf";
    test::WriteFileBytes(file, c.rtf);
    TRichDocEdit page;
    page.SetStyle(&style);
    page.Format();
    EXPECT_EQ(page.InsertRTFFile(props, file.string()), kRtfOk) << c.name << ": the file itself is sound";

    TRichDocEdit failing;
    failing.SetStyle(&style);
    failing.Format();
    const std::uint8_t result = props.ImportFile(file.string(), [&](std::istream& rtf) {
      rtf.peek();  // the first chunk is read
      EXPECT_EQ(test::BreakReadsOf(file), 1) << c.name;
      return failing.InsertRTF(props, rtf);
    });
    EXPECT_EQ(result, kRtfFileError) << c.name;
    EXPECT_EQ(props.ErrorCode(), kRtfFileError) << c.name;
    EXPECT_EQ(props.FileError, "Bad file descriptor") << c.name;
    EXPECT_EQ(Dump(failing.RVData()).substr(0, 5), "first") << c.name;
  }
  EXPECT_EQ(editor.InsertRTFFile(props, "/nonexistent/file.rtf"), kRtfFileError);
  EXPECT_EQ(props.FileError, "No such file or directory");
}

}  // namespace
}  // namespace varnolt
