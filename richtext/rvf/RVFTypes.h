#pragma once
// What shapes writing and reading the engine's own stored format, and what a
// view keeps beside its document for it: options, style read modes, the
// warnings of the last reading, document properties, page parameters, the
// view's layout and background, and the owner's providers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "richtext/document/CRVData.h"
#include "richtext/document/RVDocParameters.h"
#include "richtext/graphic/RVGraphic.h"

namespace varnolt {

struct TRVEmbeddedControl;

enum TRVFOption : std::uint8_t {
  rvfoSavePicturesBody,
  rvfoSaveControlsBody,
  rvfoIgnoreUnknownPicFmt,
  rvfoIgnoreUnknownCtrls,
  rvfoConvUnknownStylesToZero,
  rvfoConvLargeImageIdxToZero,
  rvfoSaveBinary,
  rvfoUseStyleNames,
  rvfoSaveBack,
  rvfoLoadBack,
  rvfoSaveTextStyles,
  rvfoSaveParaStyles,
  rvfoSaveLayout,
  rvfoLoadLayout,
  rvfoSaveDocProperties,
  rvfoLoadDocProperties,
};
using TRVFOptions = TRVSet<TRVFOption, std::uint32_t>;
inline constexpr TRVFOptions kRVFDefaultOptions{rvfoSavePicturesBody, rvfoSaveControlsBody, rvfoSaveBinary,
                                                rvfoSaveDocProperties, rvfoLoadDocProperties};

// The ordinals are the warning bits.
enum TRVFWarning : std::uint8_t {
  rvfwUnknownPicFmt,
  rvfwUnknownCtrls,
  rvfwConvUnknownStyles,
  rvfwConvLargeImageIdx,
  rvfwConvToUnicode,
  rvfwConvFromUnicode,
  rvfwInvalidPicture,
};
using TRVFWarnings = TRVSet<TRVFWarning, std::uint8_t>;

enum TRVFReaderStyleMode : std::uint8_t { rvf_sIgnore, rvf_sInsertMap, rvf_sInsertMerge };

enum TRVFSaveMode : std::uint8_t {
  rvfsmWhole,
  rvfsmSelection,
  rvfsmPart,  // a printed part: a given range, with layout and numbering state
};

// The view's layout as the layout record keeps it.
struct TRVFLayout {
  std::int32_t LeftMargin = 5;
  std::int32_t RightMargin = 5;
  std::int32_t TopMargin = 5;
  std::int32_t BottomMargin = 5;
  std::int32_t MinTextWidth = 0;
  std::int32_t MaxTextWidth = 0;
  TRVBiDiMode BiDiMode = rvbdUnspecified;
  friend bool operator==(const TRVFLayout&, const TRVFLayout&) = default;
};

// Where a part save cut paragraphs, and the marker of the first cut one.
struct TRVFPartCuts {
  bool FirstParaCut = false;
  bool LastParaCut = false;
  std::int32_t FirstMarkerListNo = -1;
  std::int32_t FirstMarkerLevel = -1;
  friend bool operator==(const TRVFPartCuts&, const TRVFPartCuts&) = default;
};

// The view's background: a style ordinal (0 plain colour), a colour, a picture.
struct TRVFBackground {
  std::uint8_t Style = 0;
  TColor Color = kRVColorNone;
  std::unique_ptr<TGraphic> Image;
};

// Numbering state of one list marker, as the part save stores it.
struct TRVFMarkerState {
  std::int32_t ListNo = -1;
  std::int32_t Level = 0;
  bool Reset = false;
  std::int32_t StartFrom = 1;
  std::int32_t Counter = 0;
  friend bool operator==(const TRVFMarkerState&, const TRVFMarkerState&) = default;
};

// What a view keeps for the stored format. Reading fills the warnings and,
// as the options allow, the document properties, page parameters, layout
// and background.
struct TRVFView {
  TRVFOptions RVFOptions = kRVFDefaultOptions;
  TRVFReaderStyleMode RVFTextStylesReadMode = rvf_sInsertMerge;
  TRVFReaderStyleMode RVFParaStylesReadMode = rvf_sInsertMerge;
  TRVFWarnings RVFWarnings;

  std::vector<std::u16string> DocProperties;
  TRVDocParameters DocParameters;
  TRVFLayout Layout;
  TRVFBackground Background;

  // The part a part save writes, start before end.
  TRVPosition PartStart;
  TRVPosition PartEnd;
  // Read from a part: where it was cut and the numbering it continues.
  TRVFPartCuts PartCuts;
  std::vector<TRVFMarkerState> PartNumbering;

  // Control classes the reader may build; any other one is unknown.
  std::vector<std::string> ControlClasses;

  // The owner's providers, asked while reading; each may be empty.
  std::function<std::unique_ptr<TGraphic>(const std::string& itemName, const TRVTag& tag)> OnPictureNeeded;
  std::function<std::unique_ptr<TRVEmbeddedControl>(const std::string& itemName, const TRVTag& tag)>
      OnControlNeeded;
  // The number of images in the image list with this tag, -1 when there is none.
  std::function<int(std::int32_t imageListTag)> OnImageListNeeded;
};

}  // namespace varnolt
