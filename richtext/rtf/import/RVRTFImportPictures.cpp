// Pictures: the reader's graphic becomes a picture item (a hot picture
// inside a link). A picture that did not decode makes way for the
// alternative of its "shppict" group, or shows the style sheet's
// invalid-picture image.
#include "richtext/graphic/RVMetafile.h"
#include "richtext/rtf/import/RVRTFImport.h"
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

void TRVRTFImporter::NewPicture(const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                TRVRTFPosition position, const TRVUnicodeString& fileName, bool& inserted) {
  std::unique_ptr<TGraphic> image = std::move(graphic);
  if (!image) {
    // The reader then reads the group's "nonshppict" alternative instead.
    if (picture != nullptr && picture->insideShpPict) return;
    image = LoadGraphicFromBytes(style_.InvalidPicture, ppi_);
    if (!image) return;
  }
  position = TakePosition(position);
  const bool link = CurrentLink().InLink;
  std::unique_ptr<TRVGraphicItemInfo> item;
  if (link) {
    item = std::make_unique<TRVHotGraphicItemInfo>(std::move(image), rvvaBaseline);
  } else {
    item = std::make_unique<TRVGraphicItemInfo>(std::move(image), rvvaBaseline);
  }
  const std::int32_t scaleX = picture != nullptr ? picture->scaleX : 100;
  const std::int32_t scaleY = picture != nullptr ? picture->scaleY : 100;
  if (dynamic_cast<const TMetafile*>(item->Image.get()) != nullptr || scaleX != 100) {
    const std::int32_t width = picture != nullptr && picture->width >= 1 ? picture->width : item->Image->Width();
    item->ImageWidth = RoundHalfEven(static_cast<double>(width) * scaleX / 100.0);
  }
  if (dynamic_cast<const TMetafile*>(item->Image.get()) != nullptr || scaleY != 100) {
    const std::int32_t height = picture != nullptr && picture->height >= 1 ? picture->height : item->Image->Height();
    item->ImageHeight = RoundHalfEven(static_cast<double>(height) * scaleY / 100.0);
  }
  if (link) {
    item->SetItemHint(CurrentLink().Hint);
    std::int32_t styleNo = item->StyleNo;
    ReadHyperlink(*item, styleNo);
  }
  if (props_.StoreImagesFileNames) item->ImageFileName = fileName;
  std::string name = std::move(item->ItemText);
  InsertItem(std::move(item), std::move(name), position);
  inserted = true;
}

void TRVRTFImporter::ImportPicture(const TRVUnicodeString& location, std::unique_ptr<TGraphic>& graphic, bool&) {
  if (props_.OnImportPicture) props_.OnImportPicture(location, 0, 0, graphic);
}

}  // namespace varnolt
