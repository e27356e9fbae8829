// Reading the stored format: untrusted streams fail with false and keep
// what came before; styles through the three read modes; pictures, image
// lists, conversions, protections and checkpoints as the reader decides.
#include <gtest/gtest.h>

#include <filesystem>

#include "richtext/rvf/RVFLines.h"
#include "richtext/rvf/RVFReader.h"
#include "richtext/rvf/RVFWriter.h"
#include "tests/richtext/RVTestDocuments.h"
#include "tests/richtext/rvf/RVFTestDocuments.h"
#include "tests/support/TestData.h"

namespace varnolt {
namespace {

const std::string kVersion = "-8 1 3 1\r\n";

std::string Raw(std::u16string_view text) { return Utf16ToBytes(text); }

std::string Block(std::string_view bytes) {
  std::string block;
  AppendInt32(block, static_cast<std::int32_t>(bytes.size()));
  return block + std::string(bytes);
}

class RVFReaderTest : public ::testing::Test {
 protected:
  RVFReaderTest() { data_.SetRVStyle(&style_); }

  bool Read(std::string_view stream, bool loading = true) { return ReadRVF(data_, stream, data_.CountItems(), loading, view_); }

  TRVStyle style_;
  TCustomRVData data_;
  TRVFView view_ = test::TestView();
};

TEST_F(RVFReaderTest, MalformedStreamsFailAndKeepWhatCameBefore) {
  const std::string good = kVersion + "0 1 0 8 0 0\r\n" + Raw(u"kept\u2029");
  const struct {
    const char* Name;
    std::string Tail;
  } cases[] = {
      {"block cut short", "-3 3 0 0 2 0 0\r\nname\r\nTBitmap\r\n\x10\x00\x00\x00" "abc"},
      {"negative line count", "0 -1 0 8 0 0\r\n"},
      {"more lines than bytes", "0 100 0 8 0 0\r\n" + Raw(u"a\u2029")},
      {"number beyond 32 bits", "0 1 0 8 0 4294967296\r\n" + Raw(u"a\u2029")},
      {"letters in a number", "0 1x 0 8 0 0\r\n"},
      {"a quoted name never closed", "\"Normal text 1 0 8 0 0\r\n"},
      {"a UTF-16 line without its end", "0 1 0 8 0 0\r\na\0b\0"},
      {"a header line with nothing after it", "0 1 0 8 0 0\r\n"},
      {"an unknown kind in binary blocks", "-77 1 0 0 2 0\r\n" + Block("x")},
      {"a table without its switch line", "-60 3 0 0 2 0 \r\n\r\n2\r\n" + Block("TPF0")},
      {"a table stream of another kind", "-60 3 0 0 2 0 \r\n\r\n1\r\n" + Block("TPF1")},
      {"a top-level layout cut short", "-9 2 0 0 2 0 3\r\n\r\n" + Block(std::string(8, '\0'))},
      {"more markers than bytes", "-9 2 0 0 2 0 6\r\n\r\n" + Block(std::string("\0\0\0\0\x09\0\0\0", 8))},
      {"a style table that is no collection", "-9 2 0 0 2 0 1\r\n\r\n" + Block("\x01\x00")},
      {"a checkpoint without its name line", "-2 2 0 0 0 0 0 0\r\nname\r\nmore\r\n"},
      {"a label alignment out of range", "-200 6 0 0 0 0 0\r\nL\r\n0\r\n0\r\n7\r\nprotect\r\n\r\n"},
      {"a sequence numbering type out of range",
       "-202 10 0 0 0 0 0\r\nS\r\n9\r\n0\r\n1\r\n0\r\n0\r\n0\r\nno-protect\r\n\r\n\r\n"},
  };
  for (const auto& entry : cases) {
    SCOPED_TRACE(entry.Name);
    data_.ClearItems();
    EXPECT_FALSE(Read(good + entry.Tail));
    ASSERT_GE(data_.CountItems(), 1);
    EXPECT_EQ(data_.ItemTextAt(0), u"kept");
  }
}

TEST_F(RVFReaderTest, NestingDeeperThanTheLimitFails) {
  auto nest = [](int depth) {
    TCustomRVData document;
    auto table = TRVTableItemInfo::CreateTable(1, 1, nullptr);
    for (int level = 1; level < depth; ++level) {
      auto outer = TRVTableItemInfo::CreateTable(1, 1, nullptr);
      outer->CellAt(0, 0)->AppendItem({}, std::move(table));
      table = std::move(outer);
    }
    document.AppendItem({}, std::move(table));
    std::string stream;
    EXPECT_TRUE(WriteRVF(document, stream, rvfsmWhole, TRVFView()));
    return stream;
  };
  EXPECT_TRUE(Read(nest(kMaxRVFNesting)));
  data_.ClearItems();
  EXPECT_FALSE(Read(nest(kMaxRVFNesting + 1)));
  EXPECT_EQ(data_.CountItems(), 0) << "the half-built table is freed";
}

TEST_F(RVFReaderTest, AnUnknownKindIsPassedOverWhenItsLinesCanBeToldApart) {
  EXPECT_TRUE(Read(kVersion + "-77 2 0 0 0 0\r\nline\r\nline\r\n-9 1 0 0 0 0 99\r\nline\r\n0 1 0 8 0 0\r\n" +
                   Raw(u"x\u2029")));
  EXPECT_EQ(test::Dump(data_), "x");
}

TEST_F(RVFReaderTest, StreamsWithoutAVersionHaveNoFlagsAndNoQuotedTags) {
  EXPECT_TRUE(Read("0 1 0 0 0\r\n\xE9t\xE9\r\n"));
  EXPECT_EQ(data_.ItemTextAt(0), u"\u00e9t\u00e9");
  EXPECT_FALSE(Read("0 1 0 0 \"tag\"\r\nx\r\n"));
}

TEST_F(RVFReaderTest, UnknownStyleNumbersFailUnlessTurnedIntoZero) {
  const std::string stream = kVersion + "99 1 0 8 0 0\r\n" + Raw(u"a\u2029") + "0 1 5 8 0 0\r\n" + Raw(u"b\u2029") +
                             "-12 0 0 0 0 0 42\r\n-200 6 0 1 0 0 0\r\nL\r\n42\r\n0\r\n0\r\nno-protect\r\n\r\n";
  EXPECT_FALSE(Read(stream));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwConvUnknownStyles));
  EXPECT_EQ(data_.CountItems(), 0);
  view_.RVFOptions.Include(rvfoConvUnknownStylesToZero);
  EXPECT_TRUE(Read(stream));
  EXPECT_EQ(test::Dump(data_), "a|b|<tab>+<label:L>");
  EXPECT_EQ(data_.ItemAt(0).StyleNo, 0);
  EXPECT_EQ(data_.ItemParaNo(1), 0);
  EXPECT_EQ(data_.ItemAs<TRVTabItemInfo>(2).TextStyleNo, 0);
}

TEST_F(RVFReaderTest, ItemsOfAnUnknownTextStyleAreDroppedWhenNotTurnedIntoZero) {
  EXPECT_TRUE(Read(kVersion + "-12 0 0 0 0 0 42\r\n0 1 0 8 0 0\r\n" + Raw(u"a\u2029")));
  EXPECT_EQ(test::Dump(data_), "a");
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwConvUnknownStyles));
}

// A stored sheet with one more text style than the default one (bold and red)
// and a document in that style.
std::string StreamWithOwnStyles() {
  TRVStyle source;
  TFontInfo& red = source.AppendTextStyle();
  red.Style.Include(fsBold);
  red.Color = clRed;
  red.SetStyleName(u"Red");
  TCustomRVData document;
  document.SetRVStyle(&source);
  document.AppendTextItemW(u"red", 6, 0);
  document.AppendTextItemW(u"plain", 0, 0);
  TRVFView view;
  view.RVFOptions = {rvfoSaveBinary, rvfoSaveTextStyles, rvfoSaveParaStyles};
  std::string stream;
  EXPECT_TRUE(WriteRVF(document, stream, rvfsmWhole, view));
  return stream;
}

TEST_F(RVFReaderTest, StoredStylesAreMergedMappedIgnoredOrTakenOver) {
  const std::string stream = StreamWithOwnStyles();
  int added = 0;
  data_.Events.StyleAdded = [&](TCustomRVInfo&, std::int32_t) { ++added; };

  ASSERT_TRUE(Read(stream, false));
  EXPECT_EQ(style_.TextStyles.Count(), 7) << "merging appends the style the sheet lacks";
  EXPECT_EQ(added, 1);
  EXPECT_EQ(data_.ItemAt(0).StyleNo, 6);
  EXPECT_EQ(data_.ItemAt(1).StyleNo, 0);

  TRVStyle mapped;
  TCustomRVData mappedData;
  mappedData.SetRVStyle(&mapped);
  TRVFView mapView = test::TestView();
  mapView.RVFTextStylesReadMode = rvf_sInsertMap;
  ASSERT_TRUE(ReadRVF(mappedData, stream, 0, false, mapView));
  EXPECT_EQ(mapped.TextStyles.Count(), 6) << "mapping appends nothing";
  EXPECT_EQ(mappedData.ItemAt(0).StyleNo, 2) << "bold red is most like the bold navy subheading";

  TRVStyle ignoring;
  TCustomRVData ignoringData;
  ignoringData.SetRVStyle(&ignoring);
  TRVFView ignoreView = test::TestView();
  ignoreView.RVFTextStylesReadMode = rvf_sIgnore;
  EXPECT_FALSE(ReadRVF(ignoringData, stream, 0, false, ignoreView)) << "style 6 is not in the sheet";

  TRVStyle loaded;
  loaded.TextStyleAt(0).Size = 20;
  TCustomRVData loadedData;
  loadedData.SetRVStyle(&loaded);
  TRVFView loadView = test::TestView();
  ASSERT_TRUE(ReadRVF(loadedData, stream, 0, true, loadView));
  EXPECT_EQ(loaded.TextStyles.Count(), 7) << "loading takes the stored table over";
  EXPECT_EQ(loaded.TextStyleAt(0).Size, 10);
  EXPECT_EQ(loaded.TextStyleAt(6).StyleName(), u"Red");
}

TEST_F(RVFReaderTest, StyleNamesAreLookedUpExactlyAndAnUnknownOneIsTheFirst) {
  style_.TextStyleAt(3).SetStyleName(u"Quote \"me\"");
  EXPECT_TRUE(Read(kVersion + "\"Quote \"\"me\"\"\" 1 \"Centered\" 8 0 0\r\n" + Raw(u"a\u2029") +
                   "\"quote \"\"me\"\"\" 1 \"nothing\" 8 0 0\r\n" + Raw(u"b\u2029")));
  EXPECT_EQ(data_.ItemAt(0).StyleNo, 3);
  EXPECT_EQ(data_.ItemParaNo(0), 1);
  EXPECT_EQ(data_.ItemAt(1).StyleNo, 0);
  EXPECT_EQ(data_.ItemParaNo(1), 0);
}

TEST_F(RVFReaderTest, PicturesOfUnknownClassesAndDataThatDoesNotLoad) {
  const std::string gif = kVersion + "-3 3 0 0 2 0 0\r\n\r\nTGIFImage\r\n" + Block("GIF89a") + "0 1 0 8 0 0\r\n" +
                          Raw(u"after\u2029");
  EXPECT_FALSE(Read(gif));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwUnknownPicFmt));
  view_.RVFOptions.Include(rvfoIgnoreUnknownPicFmt);
  EXPECT_TRUE(Read(gif));
  EXPECT_EQ(test::Dump(data_), "after") << "a picture without a picture is dropped";

  data_.ClearItems();
  EXPECT_TRUE(Read(kVersion + "-3 3 0 0 2 0 0\r\n\r\nTBitmap\r\n" + Block("not a bitmap")));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwInvalidPicture));
  const auto& picture = data_.ItemAs<TRVGraphicItemInfo>(0);
  ASSERT_NE(picture.Image, nullptr);
  EXPECT_EQ(picture.Image->Width(), 32) << "the sheet's invalid picture stands in";
  EXPECT_EQ(picture.Image->Height(), 32);
}

TEST_F(RVFReaderTest, PicturesWithoutBodyAreAskedFromTheOwner) {
  std::vector<std::string> asked;
  view_.OnPictureNeeded = [&](const std::string& name, const TRVTag&) -> std::unique_ptr<TGraphic> {
    asked.push_back(name);
    return name == "/pictures/a.bmp" ? test::SmallBitmap(2, 3) : nullptr;
  };
  ASSERT_TRUE(Read(kVersion + "-3 2 0 0 1 0 0\r\nlogo\r\nfilename=/pictures/a.bmp\r\n"));
  EXPECT_EQ(asked, (std::vector<std::string>{"logo", "/pictures/a.bmp"}));
  ASSERT_EQ(data_.CountItems(), 1);
  EXPECT_EQ(data_.ItemAs<TRVGraphicItemInfo>(0).Image->Height(), 3);
}

TEST_F(RVFReaderTest, BulletsNeedTheirImageList) {
  EXPECT_TRUE(Read(kVersion + "-6 1 0 0 0 0 9 0\r\nno list\r\n"));
  EXPECT_EQ(data_.CountItems(), 0) << "a bullet without an image list is dropped";
  EXPECT_FALSE(Read(kVersion + "-4 1 0 0 0 0 5 1 7\r\ntoo far\r\n"));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwConvLargeImageIdx));
  view_.RVFOptions.Include(rvfoConvLargeImageIdxToZero);
  EXPECT_TRUE(Read(kVersion + "-4 1 0 0 0 0 5 1 7\r\ntoo far\r\n"));
  EXPECT_EQ(data_.ItemAs<TRVHotspotItemInfo>(0).HotImageIndex, 0);
  EXPECT_EQ(data_.ItemAs<TRVHotspotItemInfo>(0).ImageIndex, 1);
}

TEST_F(RVFReaderTest, UnknownControlsFailUnlessIgnored) {
  const std::string stream = kVersion + "-5 3 0 0 2 0 0\r\n\r\nTMemo\r\n" + Block("memo");
  EXPECT_FALSE(Read(stream));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwUnknownCtrls));
  view_.RVFOptions.Include(rvfoIgnoreUnknownCtrls);
  EXPECT_TRUE(Read(stream));
  EXPECT_EQ(data_.CountItems(), 0);
}

TEST_F(RVFReaderTest, TextIsConvertedToWhatItsStyleHolds) {
  test::AddTestStyles(style_);
  ASSERT_TRUE(Read(kVersion + "6 1 0 8 0 0\r\n" + Raw(u"\u041c\u0438\u0440\u2029") + "0 1 0 0 0 0\r\n\xC0\r\n"));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwConvFromUnicode));
  EXPECT_TRUE(view_.RVFWarnings.Contains(rvfwConvToUnicode));
  EXPECT_FALSE(data_.ItemAt(0).UnicodeText());
  EXPECT_EQ(data_.ItemAt(0).ItemText, "\xCC\xE8\xF0") << "code page 1251";
  EXPECT_TRUE(data_.ItemAt(1).UnicodeText());
  EXPECT_EQ(data_.ItemTextAt(1), u"\u00c0") << "the system code page";
}

TEST_F(RVFReaderTest, TextOfAnInsertProtectedStyleIsNotPasted) {
  test::AddTestStyles(style_);
  const std::string stream = kVersion + "7 1 0 8 0 0\r\n" + Raw(u"locked\u2029") + "0 1 0 8 0 0\r\n" + Raw(u"free\u2029");
  ASSERT_TRUE(Read(stream, false));
  EXPECT_EQ(test::Dump(data_), "free");
  data_.ClearItems();
  ASSERT_TRUE(Read(stream, true));
  EXPECT_EQ(test::Dump(data_), "locked|free");
}

TEST_F(RVFReaderTest, AMarkerThatEndsTheInsertionGetsAnEmptyLine) {
  test::AddTestStyles(style_);
  ASSERT_TRUE(Read(kVersion + "-11 0 0 0 0 0 0 0 1 0\r\n"));
  EXPECT_EQ(test::Dump(data_), "<marker>+{}");
  ASSERT_TRUE(Read(kVersion + "-11 0 0 0 0 0 0 0 1 0\r\n-11 0 0 0 0 0 0 0 1 0\r\n"));
  EXPECT_EQ(test::Dump(data_), "<marker>+{}|<marker>+{}|<marker>+{}");
}

TEST_F(RVFReaderTest, APendingCheckpointStaysOnlyAtTheEnd) {
  const std::string stream = kVersion + "0 1 0 8 0 0\r\n" + Raw(u"a\u2029") + "-2 1 0 0 0 0 0 1\r\nlast\r\n";
  ASSERT_TRUE(Read(stream));
  ASSERT_NE(data_.PendingCheckpoint(), nullptr);
  EXPECT_EQ(data_.PendingCheckpoint()->Name, u"last");
  EXPECT_TRUE(data_.PendingCheckpoint()->Persistent);

  TCustomRVData middle;
  middle.AppendTextItemW(u"b", 0, 0);
  ASSERT_TRUE(ReadRVF(middle, stream, 0, false, view_));
  EXPECT_EQ(middle.PendingCheckpoint(), nullptr) << "something follows the insertion point";
}

TEST_F(RVFReaderTest, FullLineItemsKeepTheirOwnLinesWhateverTheFlagsSay) {
  ASSERT_TRUE(Read(kVersion + "0 1 0 9 0 0\r\n" + Raw(u"first\u2029") + "-1 0 0 5 0 0\r\n0 1 0 13 0 0\r\n" +
                   Raw(u"after\u2029")));
  EXPECT_EQ(test::Dump(data_), "first|<line>|after");
  EXPECT_FALSE(Read(kVersion + "0 1 5 8 0 0\r\n" + Raw(u"x\u2029"))) << "paragraph style 5 does not exist";
}

TEST_F(RVFReaderTest, CrashSamplesReadWithoutHarm) {
  int samples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "rvf")) {
    if (!entry.path().filename().string().starts_with("crash-")) continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++samples;
    std::string bytes = test::ReadFileBytes(entry.path());
    data_.ClearItems();
    Read(bytes);
    std::string written;
    EXPECT_TRUE(WriteRVF(data_, written, rvfsmWhole, view_));
    TCustomRVData again;
    again.SetRVStyle(&style_);
    EXPECT_TRUE(ReadRVF(again, written, 0, true, view_)) << "what was read writes and reads again";
  }
  EXPECT_GT(samples, 0);
}

}  // namespace
}  // namespace varnolt
