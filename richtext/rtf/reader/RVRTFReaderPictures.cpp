// The reader's side of "pict" and "object" groups: their keywords, their
// hexadecimal or binary data, and handing the result to the client.
#include "richtext/rtf/reader/RVRTFReaderInternal.h"

namespace varnolt {

namespace {

using A = TRVRTFAction;

// Decoded picture bytes are gathered in blocks of this size.
constexpr std::size_t kPictureBlockSize = 64 * 1024;

}  // namespace

bool TRVRTFReader::ApplyPictureProperty(TRVRTFAction action, std::int32_t value, std::int8_t arg) {
  switch (action) {
    case A::PictureValue:
      if (picture_ != nullptr) {
        std::int32_t* const fields[] = {&picture_->picw,   &picture_->pich,       &picture_->picwGoal,
                                        &picture_->pichGoal, &picture_->scaleX,   &picture_->scaleY,
                                        &picture_->widthBytes, &picture_->bitsPerPixel, &picture_->planes};
        *fields[static_cast<std::size_t>(arg)] = value;
      }
      break;
    case A::PictureKind:
      if (picture_ != nullptr) {
        picture_->kind = static_cast<std::uint8_t>(value);
        if (value == rtf_pk_DeviceIndependentBitmap) picture_->dataPosition = TRVRTFPicture::kBitmapFileHeaderSize;
      }
      break;
    case A::WindowsMetafile:
      if (picture_ != nullptr) {
        picture_->kind = rtf_pk_WindowsMetafile;
        picture_->mapMode = value >= 2 && value <= 8 ? value : 1;
      }
      break;
    case A::PictureWrapsBitmap:
      if (picture_ != nullptr) picture_->wrapsBitmap = true;
      break;
    case A::ObjectKind:
      if (object_ != nullptr) object_->kind = static_cast<std::uint8_t>(value);
      break;
    case A::ObjectWidth:
      if (object_ != nullptr) object_->width = value;
      break;
    case A::ObjectHeight:
      if (object_ != nullptr) object_->height = value;
      break;
    default:
      return false;
  }
  return true;
}

void TRVRTFReader::StartPicture() {
  if (picture_ != nullptr) throw ParseStop{kRtfBadPictureOrObject};
  TRVRTFReaderState& state = State();
  if (OnNewPicture) {
    picture_ = std::make_unique<TRVRTFPicture>();
    picture_->insideShpPict = state.destination == TRVRTFDestination::ShpPict;
  }
  pictureNibble_ = -1;
  state.destination = TRVRTFDestination::Picture;
}

// Reads hexadecimal digits greedily, line breaks between them skipped; the
// first other byte is left for the main loop.
void TRVRTFReader::ReadPictureHex(std::uint8_t first) {
  std::string block;
  block.reserve(kPictureBlockSize);
  int nibble = pictureNibble_;
  auto take = [&](int digit) {
    if (nibble < 0) {
      nibble = digit;
      return;
    }
    block.push_back(static_cast<char>(nibble * 16 + digit));
    nibble = -1;
    if (block.size() == kPictureBlockSize) {
      picture_->WriteData(block.data(), block.size());
      block.clear();
    }
  };
  take(HexDigitValue(first));
  for (;;) {
    std::size_t available = 0;
    const char* bytes = input_.Available(available);
    std::size_t used = 0;
    for (; used < available; ++used) {
      const int byte = static_cast<unsigned char>(bytes[used]);
      if (byte == '\r' || byte == '\n') continue;
      const int digit = HexDigitValue(byte);
      if (digit < 0) break;
      take(digit);
    }
    input_.Skip(used);
    if (used < available) break;
    const int byte = input_.Next();
    if (byte < 0) break;
    if (byte == '\r' || byte == '\n') continue;
    if (HexDigitValue(byte) < 0) {
      input_.PushBack(byte);
      break;
    }
    take(HexDigitValue(byte));
  }
  picture_->WriteData(block.data(), block.size());
  pictureNibble_ = nibble;
}

void TRVRTFReader::PutObjectHex(std::uint8_t byte) {
  const int digit = HexDigitValue(byte);
  if (digit < 0) throw ParseStop{kRtfBadPictureOrObject};
  if (pictureNibble_ < 0) {
    pictureNibble_ = digit;
  } else {
    object_->data.push_back(static_cast<char>(pictureNibble_ * 16 + digit));
    pictureNibble_ = -1;
  }
}

bool TRVRTFReader::OfferPicture(const TRVRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                                const TRVUnicodeString& fileName) {
  FinalizeParagraph();
  bool inserted = false;
  CallContentHandler([&] { OnNewPicture(*this, picture, graphic, position_, fileName, inserted); });
  return inserted;
}

void TRVRTFReader::DeliverPicture() {
  std::unique_ptr<TRVRTFPicture> picture = std::move(picture_);
  EmitWithSync(false);
  if (picture == nullptr || pictureInsertedByField_) return;
  std::unique_ptr<TGraphic> graphic;
  try {
    graphic = BuildRTFPictureGraphic(*picture, ExtractMetafileBitmaps, PixelsPerInch);
  } catch (const EInvalidGraphic&) {
    // An undecodable picture arrives without a graphic; the client puts its
    // fallback in place and the rest of the document still comes in.
    graphic.reset();
  }
  SyncTables(true);
  const bool inserted = OfferPicture(picture.get(), graphic, {});
  if (picture->insideShpPict) shpPictInserted_ = inserted;
  if (inserted) position_ = rtf_ts_ContinuePara;
  if (!inserted) DeliverPendingFieldPicture();
}

void TRVRTFReader::DeliverPendingFieldPicture() {
  if (pendingFieldPicture_ == nullptr || !OnNewPicture) return;
  std::unique_ptr<TGraphic> graphic = std::move(pendingFieldPicture_);
  SyncTables(true);
  OfferPicture(nullptr, graphic, {});
  position_ = rtf_ts_ContinuePara;
}

void TRVRTFReader::DeliverObject() {
  EmitWithSync(false);
  if (object_ == nullptr) return;
  FinalizeParagraph();
  bool inserted = false;
  CallContentHandler([&] { OnNewObject(*this, *object_, position_, inserted); });
  objectInserted_ = inserted;
  position_ = rtf_ts_ContinuePara;
}

}  // namespace varnolt
