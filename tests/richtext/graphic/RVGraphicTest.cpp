#include "richtext/graphic/RVGraphic.h"

#include <gtest/gtest.h>

#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"

namespace varnolt {
namespace {

using test::MakeDib;
using test::MakeWmf;

TEST(RVGraphicTest, BitmapFromDibKeepsRowsTopDownAndPalette) {
  const auto bitmap = TBitmap::FromDib(MakeDib(3, 2, 8, 4));
  EXPECT_EQ(bitmap->Width(), 3);
  EXPECT_EQ(bitmap->Height(), 2);
  EXPECT_EQ(bitmap->BitsPerPixel(), 8);
  EXPECT_EQ(bitmap->RowBytes(), 4);
  ASSERT_EQ(bitmap->Palette().size(), 4u);
  EXPECT_EQ(bitmap->Palette()[1], (TBitmapPaletteEntry{0x10, 0x20, 0x31}));
  // The file stores the bottom row first.
  EXPECT_EQ(bitmap->ScanLine(0), std::string(4, '\x02'));
  EXPECT_EQ(bitmap->ScanLine(1), std::string(4, '\x01'));
  EXPECT_TRUE(bitmap->ScanLine(2).empty());

  const auto again = TBitmap::FromBitmapFile(bitmap->SaveToBytes());
  EXPECT_EQ(again->SaveToBytes(), bitmap->SaveToBytes());
  EXPECT_EQ(again->ScanLine(0), bitmap->ScanLine(0));
}

TEST(RVGraphicTest, BitmapSizesAreCheckedAgainstTheData) {
  std::string topDown = MakeDib(2, 2);
  topDown[8] = '\xFE';  // height -2
  topDown[9] = topDown[10] = topDown[11] = '\xFF';
  EXPECT_EQ(TBitmap::FromDib(topDown)->ScanLine(0), std::string(8, '\x01'));

  std::string huge = MakeDib(1, 1);
  huge[4] = huge[5] = huge[6] = '\xFF';
  huge[7] = '\x7F';
  std::string badDepth = MakeDib(1, 1);
  badDepth[14] = 7;
  std::string hugePalette = MakeDib(1, 1, 8, 0);
  hugePalette[32] = '\x00';
  hugePalette[33] = '\x10';
  const std::string cases[] = {
      MakeDib(4, 4).substr(0, 60),  // rows missing
      MakeDib(4, 4).substr(0, 20),  // header cut short
      huge,
      badDepth,
      hugePalette,
      "",
  };
  for (const auto& dib : cases) EXPECT_THROW(TBitmap::FromDib(dib), EInvalidGraphic) << dib.size();
  EXPECT_THROW(TBitmap::FromBitmapFile("BM\x10"), EInvalidGraphic);
  EXPECT_THROW(TBitmap::FromDeviceBits(8, 8, 1, 1, 2, std::string(15, '\0')), EInvalidGraphic);
  EXPECT_THROW(TBitmap::FromDeviceBits(8, 8, 1, 3, 0, std::string(64, '\0')), EInvalidGraphic);
  EXPECT_EQ(TBitmap::FromDeviceBits(8, 8, 1, 1, 2, std::string(16, '\0'))->Palette().size(), 2u);
}

TEST(RVGraphicTest, MetafileWalkerStopsAtBadRecords) {
  std::string line;
  AppendU16(line, 1);
  AppendU16(line, 1);
  const std::string records = MakeWmf({{0x0213, line}, {0x0213, line}});
  const std::size_t firstRecord = 18;
  struct Case {
    const char* name;
    std::string bytes;
    int visited;
  };
  std::string zeroSize = records;
  zeroSize.replace(firstRecord, 4, std::string(4, '\0'));
  std::string tooLong = records;
  tooLong[firstRecord + 6 + 4 + 2] = '\x7F';  // the second record claims far more than is left
  const Case cases[] = {
      {"whole", records, 3},
      {"size 0 ends the walk", zeroSize, 0},
      {"a record past the end ends the walk", tooLong, 1},
      {"cut short", records.substr(0, records.size() - 3), 2},
  };
  for (const auto& c : cases) {
    const auto metafile = TMetafile::FromWindowsBits(c.bytes, 8, 0, 0, 96);
    int visited = 0;
    metafile->WalkRecords([&](std::uint16_t, std::string_view) { return ++visited < 100; });
    EXPECT_EQ(visited, c.visited) << c.name;
  }
}

TEST(RVGraphicTest, SingleBitmapIsExtractedOnlyWhenAlone) {
  const std::string dib = test::SetDibToDeviceParameters(MakeDib(2, 3));
  std::string stretch(22, '\0');
  stretch += MakeDib(4, 1);
  EXPECT_EQ(TMetafile::FromWindowsBits(MakeWmf({{0x0D33, dib}}), 8, 0, 0, 96)->ExtractSingleBitmap()->Height(), 3);
  EXPECT_EQ(TMetafile::FromWindowsBits(MakeWmf({{0x0F43, stretch}}), 8, 0, 0, 96)->ExtractSingleBitmap()->Width(), 4);
  EXPECT_EQ(TMetafile::FromWindowsBits(MakeWmf({{0x0D33, dib}, {0x0D33, dib}}), 8, 0, 0, 96)->ExtractSingleBitmap(),
            nullptr);
  EXPECT_EQ(TMetafile::FromWindowsBits(MakeWmf({{0x0213, "abcd"}, {0x0D33, dib}}), 8, 0, 0, 96)->ExtractSingleBitmap(),
            nullptr);
  EXPECT_EQ(TMetafile::FromWindowsBits(MakeWmf({{0x0D33, std::string(18, '\0') + "xx"}}), 8, 0, 0, 96)
                ->ExtractSingleBitmap(),
            nullptr);
}

TEST(RVGraphicTest, MetafileHeadersAndSizes) {
  const std::string wmf = MakeWmf({});
  EXPECT_EQ(TMetafile::FromWindowsBits(wmf, 8, 2540, 5080, 96)->Width(), 96);
  EXPECT_EQ(TMetafile::FromWindowsBits(wmf, 8, 2540, 5080, 96)->Height(), 192);
  std::string placeable;
  AppendU32(placeable, 0x9AC6CDD7);
  AppendU16(placeable, 0);
  for (int value : {0, 0, 2880, 1440}) AppendU16(placeable, static_cast<std::uint32_t>(value));
  AppendU16(placeable, 1440);
  AppendU32(placeable, 0);
  AppendU16(placeable, 0);
  const auto fromPlaceable = TMetafile::FromWindowsBits(placeable + wmf, 8, 0, 0, 96);
  EXPECT_EQ(fromPlaceable->Width(), 192);
  EXPECT_EQ(fromPlaceable->Height(), 96);
  EXPECT_EQ(TMetafile::FromEnhancedBits(test::MakeEmf(2540, 2540), 96)->Width(), 96);
  EXPECT_THROW(TMetafile::FromWindowsBits("\x01\x00\x09", 8, 0, 0, 96), EInvalidGraphic);
  EXPECT_THROW(TMetafile::FromEnhancedBits(wmf, 96), EInvalidGraphic);
}

TEST(RVGraphicTest, JpegAndPngSizesFromTheirHeaders) {
  const std::string jpeg = test::MakeJpeg(7, 3);
  const std::string png = test::MakePng(2, 9);
  EXPECT_EQ(TJPEGImage::FromBytes(jpeg)->Width(), 7);
  EXPECT_EQ(TJPEGImage::FromBytes(jpeg)->SaveToBytes(), jpeg);
  EXPECT_EQ(TPngGraphic::FromBytes(png)->Height(), 9);
  EXPECT_THROW(TJPEGImage::FromBytes(jpeg.substr(0, 20)), EInvalidGraphic);
  EXPECT_THROW(TPngGraphic::FromBytes(png.substr(0, 20)), EInvalidGraphic);
  EXPECT_THROW(TPngGraphic::FromBytes(jpeg), EInvalidGraphic);
}

TEST(RVGraphicTest, LoadingRecognisesTheFormat) {
  const std::string bitmapFile = TBitmap::FromDib(MakeDib(2, 2))->SaveToBytes();
  EXPECT_EQ(LoadGraphicFromBytes(test::MakePng(1, 1), 96)->ClassName(), "TPngGraphic");
  EXPECT_EQ(LoadGraphicFromBytes(test::MakeJpeg(1, 1), 96)->ClassName(), "TJPEGImage");
  EXPECT_EQ(LoadGraphicFromBytes(bitmapFile, 96)->ClassName(), "TBitmap");
  EXPECT_EQ(LoadGraphicFromBytes(test::MakeEmf(100, 100), 96)->ClassName(), "TMetafile");
  EXPECT_EQ(LoadGraphicFromBytes(MakeWmf({}), 96)->ClassName(), "TMetafile");
  EXPECT_EQ(LoadGraphicFromBytes("plain text", 96), nullptr);
  EXPECT_EQ(LoadGraphicFromBytes("", 96), nullptr);
}

}  // namespace
}  // namespace varnolt
