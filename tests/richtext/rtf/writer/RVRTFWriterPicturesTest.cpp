// Pictures in the RTF writer: each picture kind with its keywords and
// bytes, the options that change them, scaling, and reading them back.
#include <gtest/gtest.h>

#include <sstream>

#include "richtext/document/RVItemKinds.h"
#include "richtext/graphic/RVBitmap.h"
#include "richtext/graphic/RVJpegPng.h"
#include "richtext/graphic/RVMetafile.h"
#include "richtext/rtf/reader/RVRTFReader.h"
#include "richtext/rtf/writer/RVRTFWriter.h"
#include "tests/richtext/graphic/RVGraphicTestImages.h"
#include "tests/richtext/rtf/writer/RVRTFWriterTestDocuments.h"

namespace varnolt {
namespace {

using test::RtfBody;
using test::RtfHex;
using test::TestDocument;
using test::WriteRtfString;

// A placeable header for a metafile of 1440 units per inch over the box.
std::string PlaceableHeader(int right, int bottom) {
  std::string header;
  AppendU32(header, 0x9AC6CDD7);
  AppendU16(header, 0);
  for (int value : {0, 0, right, bottom}) AppendU16(header, static_cast<std::uint32_t>(value));
  AppendU16(header, 1440);
  AppendU32(header, 0);
  AppendU16(header, 0);
  return header;
}

class RVRTFWriterPicturesTest : public ::testing::Test {
 protected:
  RVRTFWriterPicturesTest() { test::MakeMinimalStyle(style_); }

  // The "\pict" group of a document holding the picture alone.
  std::string PictureGroup(std::unique_ptr<TGraphic> graphic, TRVRTFOptions options, int width = 0, int height = 0,
                           int pixelsPerInch = 0) {
    TestDocument doc(style_);
    auto item = std::make_unique<TRVGraphicItemInfo>(std::move(graphic), rvvaBaseline);
    item->ImageWidth = width;
    item->ImageHeight = height;
    doc.AppendItem({}, std::move(item));
    TRVRTFWriteSettings settings;
    settings.RTFOptions = options;
    settings.PixelsPerInch = pixelsPerInch;
    const std::string body = RtfBody(WriteRtfString(doc, settings));
    const auto start = body.find("{\\pict");
    const auto end = body.rfind("}\\par}");
    if (start == std::string::npos || end == std::string::npos) return body;
    return body.substr(start, end + 1 - start);
  }

  // The picture the reader builds from the RTF of a document holding it.
  std::unique_ptr<TGraphic> ReadBack(std::unique_ptr<TGraphic> graphic, TRVRTFOptions options) {
    TestDocument doc(style_);
    doc.AppendItem({}, std::make_unique<TRVGraphicItemInfo>(std::move(graphic), rvvaBaseline));
    TRVRTFWriteSettings settings;
    settings.RTFOptions = options;
    std::istringstream rtf(WriteRtfString(doc, settings));
    TRVRTFReader reader;
    reader.ExtractMetafileBitmaps = false;
    std::unique_ptr<TGraphic> result;
    reader.OnNewPicture = [&](TRVRTFReader&, const TRVRTFPicture*, std::unique_ptr<TGraphic>& read, TRVRTFPosition,
                              const TRVUnicodeString&, bool& inserted) {
      result = std::move(read);
      inserted = true;
    };
    EXPECT_EQ(reader.ParseStream(rtf), kRtfOk);
    return result;
  }

  TRVStyle style_;
};

TEST_F(RVRTFWriterPicturesTest, BitmapsAsDeviceIndependentBits) {
  const std::string dib = test::MakeDib(3, 2);
  const std::string bits = RtfHex(TBitmap::FromDib(dib)->SaveToBytes().substr(14));
  EXPECT_EQ(PictureGroup(TBitmap::FromDib(dib), {}),
            "{\\pict\\dibitmap0\\wbmwidthbytes12\\picw3\\pich2\\picwgoal45\\pichgoal30 " + bits + "}");
  // The goal size follows the resolution in force.
  EXPECT_EQ(PictureGroup(TBitmap::FromDib(dib), {}, 0, 0, 120),
            "{\\pict\\dibitmap0\\wbmwidthbytes12\\picw3\\pich2\\picwgoal36\\pichgoal24 " + bits + "}");
  const std::string binary = TBitmap::FromDib(dib)->SaveToBytes().substr(14);
  EXPECT_EQ(PictureGroup(TBitmap::FromDib(dib), {rvrtfSavePicturesBinary}),
            "{\\pict\\dibitmap0\\wbmwidthbytes12\\picw3\\pich2\\picwgoal45\\pichgoal30 {\\bin" +
                std::to_string(binary.size()) + " " + binary + "}}");
}

TEST_F(RVRTFWriterPicturesTest, KindsKeepTheirOwnBytes) {
  const std::string png = test::MakePng(4, 5);
  const std::string jpeg = test::MakeJpeg(6, 7);
  const std::string emf = test::MakeEmf(2540, 1270);
  const std::string wmf = test::MakeWmf({});
  EXPECT_EQ(PictureGroup(TPngGraphic::FromBytes(png), {}), "{\\pict\\pngblip\\picw4\\pich5 " + RtfHex(png) + "}");
  EXPECT_EQ(PictureGroup(TJPEGImage::FromBytes(jpeg), {rvrtfSaveJpegAsJpeg}),
            "{\\pict\\jpegblip\\picw6\\pich7 " + RtfHex(jpeg) + "}");
  // Kept as itself whether or not Windows metafiles are asked for.
  EXPECT_EQ(PictureGroup(TMetafile::FromEnhancedBits(emf, 96), {rvrtfSaveEMFAsWMF}),
            "{\\pict\\emfblip\\picw2540\\pich1270 " + RtfHex(emf) + "}");
  // The placeable header is not part of the picture data.
  EXPECT_EQ(PictureGroup(TMetafile::FromWindowsBits(PlaceableHeader(1440, 720) + wmf, 8, 0, 0, 96), {}),
            "{\\pict\\wmetafile8\\picw2540\\pich1270 " + RtfHex(wmf) + "}");
  EXPECT_EQ(PictureGroup(TMetafile::FromWindowsBits(wmf, 8, 5080, 2540, 96), {}),
            "{\\pict\\wmetafile8\\picw5080\\pich2540 " + RtfHex(wmf) + "}");
}

TEST_F(RVRTFWriterPicturesTest, ScaleAgainstTheNaturalSize) {
  EXPECT_EQ(PictureGroup(TBitmap::FromDib(test::MakeDib(4, 8)), {}, 6, 4).substr(0, 35),
            "{\\pict\\picscalex150\\picscaley50\\dib");
  // A Windows metafile's natural size is its physical size: 2 by 1 inches.
  EXPECT_EQ(PictureGroup(TMetafile::FromWindowsBits(test::MakeWmf({}), 8, 5080, 2540, 96), {}, 96, 192).substr(0, 45),
            "{\\pict\\picscalex50\\picscaley200\\wmetafile8\\pi");
  // A metafile too small to have a size at this resolution gets no scale.
  EXPECT_EQ(PictureGroup(TMetafile::FromWindowsBits(test::MakeWmf({}), 8, 1000, 1000, 96), {}, 50, 50, 1)
                .substr(0, 22),
            "{\\pict\\wmetafile8\\picw");
}

TEST_F(RVRTFWriterPicturesTest, PngInsteadOfBitmapKeepsThePixels) {
  const std::string group = PictureGroup(TBitmap::FromDib(test::MakeDib(3, 2, 8, 4)), {rvrtfPNGInsteadOfBitmap});
  ASSERT_EQ(group.rfind("{\\pict\\pngblip\\picw3\\pich2 ", 0), 0u) << group;
  const auto back = ReadBack(TBitmap::FromDib(test::MakeDib(3, 2, 8, 4)), {rvrtfPNGInsteadOfBitmap});
  ASSERT_NE(dynamic_cast<TPngGraphic*>(back.get()), nullptr);
  EXPECT_EQ(back->Width(), 3);
  EXPECT_EQ(back->Height(), 2);
}

TEST_F(RVRTFWriterPicturesTest, JpegWithoutItsOptionIsDrawn) {
  const std::string jpeg = test::MakeJpeg(6, 7);
  EXPECT_EQ(PictureGroup(TJPEGImage::FromBytes(jpeg), {rvrtfSaveBitmapDefault}).substr(0, 51),
            "{\\pict\\dibitmap0\\wbmwidthbytes20\\picw6\\pich7\\picwgo");
  EXPECT_EQ(PictureGroup(TJPEGImage::FromBytes(jpeg), {rvrtfSaveEMFDefault}).substr(0, 33),
            "{\\pict\\emfblip\\picw159\\pich185 01");
  EXPECT_EQ(PictureGroup(TJPEGImage::FromBytes(jpeg), {}).substr(0, 34), "{\\pict\\wmetafile1\\picw6\\pich7 0100");
  // A drawn metafile gives its size in pixels, and reads back at that size.
  const auto drawn = ReadBack(TJPEGImage::FromBytes(jpeg), {});
  ASSERT_NE(dynamic_cast<TMetafile*>(drawn.get()), nullptr);
  EXPECT_EQ(drawn->Width(), 6);
  EXPECT_EQ(drawn->Height(), 7);

  // Read back, each holds a picture of the JPEG's size in its grey.
  for (TRVRTFOptions options : {TRVRTFOptions{rvrtfSaveBitmapDefault}, TRVRTFOptions{}}) {
    const auto back = ReadBack(TJPEGImage::FromBytes(jpeg), options);
    std::unique_ptr<TBitmap> bitmap;
    if (auto* metafile = dynamic_cast<TMetafile*>(back.get())) {
      bitmap = metafile->ExtractSingleBitmap();
    } else if (back != nullptr) {
      bitmap.reset(dynamic_cast<TBitmap*>(back->Clone().release()));
    }
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 6);
    EXPECT_EQ(bitmap->Height(), 7);
    EXPECT_NEAR(static_cast<unsigned char>(bitmap->ScanLine(3)[0]), 0x40, 2);
  }
  const auto emf = ReadBack(TJPEGImage::FromBytes(jpeg), {rvrtfSaveEMFDefault});
  ASSERT_NE(dynamic_cast<TMetafile*>(emf.get()), nullptr);
  EXPECT_EQ(emf->Width(), 6);
}

TEST_F(RVRTFWriterPicturesTest, ReadBackGivesTheSamePictures) {
  const std::string dib = test::MakeDib(5, 3, 4, 16);
  for (bool binary : {false, true}) {
    const TRVRTFOptions options = binary ? TRVRTFOptions{rvrtfSavePicturesBinary} : TRVRTFOptions{};
    const auto bitmap = ReadBack(TBitmap::FromDib(dib), options);
    ASSERT_NE(dynamic_cast<TBitmap*>(bitmap.get()), nullptr);
    EXPECT_EQ(bitmap->SaveToBytes(), TBitmap::FromDib(dib)->SaveToBytes());
    const std::string png = test::MakePng(4, 5);
    EXPECT_EQ(ReadBack(TPngGraphic::FromBytes(png), options)->SaveToBytes(), png);
    const std::string emf = test::MakeEmf(2540, 1270);
    EXPECT_EQ(ReadBack(TMetafile::FromEnhancedBits(emf, 96), options)->SaveToBytes(), emf);
  }
}

TEST_F(RVRTFWriterPicturesTest, PictureMarkersAndMissingPictures) {
  TRVListInfo& list = style_.ListStyles.Add();
  TRVListLevel& level = list.Levels.Add();
  level.ListType = rvlstPicture;
  level.Picture = test::MakePng(2, 2);
  TestDocument doc(style_);
  doc.AppendItem({}, std::make_unique<TRVMarkerItemInfo>(0, 0));
  auto empty = std::make_unique<TRVGraphicItemInfo>();  // no graphic: nothing
  empty->ParaNo = -1;
  doc.AppendItem({}, std::move(empty));
  const std::string body = RtfBody(WriteRtfString(doc));
  const std::string group = "{\\pict\\pngblip\\picw2\\pich2 " + RtfHex(level.Picture) + "}";
  EXPECT_NE(body.find("\\itap0 " + group + "\\par}"), std::string::npos) << body;
  EXPECT_EQ(body.find("{\\pict", body.find(group) + 1), std::string::npos) << body;
}

}  // namespace
}  // namespace varnolt
