#pragma once
// The RTF writer: a document with its style sheet, or its selection, as
// 7-bit RTF. Cells, notes, headers and footers are written by the same
// procedure one level deeper, sharing the font, colour and list tables that
// the outermost call builds. Writing never throws to its caller: a failure
// gives false and leaves what was written so far in the output.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/OutputStream.h"
#include "richtext/document/CRVData.h"
#include "richtext/document/RVDocParameters.h"
#include "richtext/style/RVStyleTypes.h"

namespace varnolt {

class TBitmap;
struct TRVEmbeddedControl;

enum TRVRTFOption : std::uint8_t {
  rvrtfSaveStyleSheet,      // 0
  rvrtfDuplicateUnicode,    // 1
  rvrtfSaveEMFAsWMF,        // 2
  rvrtfSaveJpegAsJpeg,      // 3
  rvrtfSaveBitmapDefault,   // 4
  rvrtfSaveEMFDefault,      // 5
  rvrtfSavePicturesBinary,  // 6
  rvrtfPNGInsteadOfBitmap,  // 7
  rvrtfSaveDocParameters,   // 8
  rvrtfSaveHeaderFooter,    // 9: for callers deciding whether to pass a header and footer
};
using TRVRTFOptions = TRVSet<TRVRTFOption, std::uint16_t>;
inline constexpr TRVRTFOptions kRVDefaultRTFOptions{rvrtfDuplicateUnicode, rvrtfSaveEMFAsWMF, rvrtfSaveJpegAsJpeg};

// Where text given by OnSaveRTFExtra goes.
enum TRVRTFSaveArea : std::uint8_t {
  rv_rtfs_TextStyle,
  rv_rtfs_ParaStyle,
  rv_rtfs_ListStyle,
  rv_rtfs_CellProps,
  rv_rtfs_RowProps,
  rv_rtfs_Doc,
};

// The document's information entries; empty ones are not written.
struct TRVRTFDocInfo {
  std::u16string Title;
  std::u16string Subject;
  std::u16string Author;
  std::u16string Keywords;
};

// What the hosting view supplies: options, page parameters, hooks.
struct TRVRTFWriteSettings {
  TRVRTFOptions RTFOptions = kRVDefaultRTFOptions;
  // Written with rvrtfSaveDocParameters; without them A4 with fixed margins.
  std::optional<TRVDocParameters> DocParameters;
  // Written as an \info group when any entry is given.
  TRVRTFDocInfo DocInfo;
  TRVBiDiMode BiDiMode = rvbdUnspecified;
  // Above 0 it replaces the screen's pixels per inch for every conversion.
  std::int32_t PixelsPerInch = 0;

  // Obj is the style, the table or nothing, as the area says.
  std::function<void(TRVRTFSaveArea area, const void* obj, std::int32_t index1, std::int32_t index2,
                     bool inStyleSheet, std::string& rtfCode)>
      OnSaveRTFExtra;
  // Clearing doDefault writes outStr in place of the item's own output.
  std::function<void(const std::u16string& path, const TCustomRVData& data, int itemNo, std::string& outStr,
                     bool& doDefault)>
      OnSaveItemToFile;
  std::function<void(std::int32_t id, const TCustomRVData& data, int itemNo, std::u16string& target,
                     std::u16string& extras)>
      OnWriteHyperlink;
  std::function<void(std::int32_t id, std::u16string& url)> OnURLNeeded;
  // The RTF of an embedded control; empty writes nothing.
  std::function<void(const std::u16string& path, const TRVEmbeddedControl& control, std::u16string& outStr)>
      OnSaveComponentToFile;
  // Image-list images of bullets, hotspots and list levels; nullptr when the
  // list or the image does not exist (the default: no image lists at all).
  std::function<const TBitmap*(std::int32_t imageListTag, const void* imageList, std::int32_t index)>
      OnGetImageListImage;
  // When a selection lies inside a table cell, the cell's document; nullptr
  // writes the selection of the document itself.
  std::function<const TCustomRVData*(const TCustomRVData& data)> OnGetSelectionDocument;
};

// Writes the whole document, or its selection, as a complete RTF file.
// color is the view's background (joins the colour table unless it is the
// window colour); headerDoc and footerDoc are optional. True also when
// nothing was written (an empty document or selection).
bool WriteRTF(const TCustomRVData& data, OutputStream& stream, const std::u16string& path, bool selectionOnly,
              TColor color, const TCustomRVData* headerDoc, const TCustomRVData* footerDoc,
              const TRVRTFWriteSettings& settings = {});
// The folder of a file with its trailing separator, empty for a bare name:
// the path WriteRTFFile hands to hooks.
std::u16string FolderWithSeparator(const std::filesystem::path& fileName);
// The same into a file, which appears only once it is complete: a failure
// leaves an existing file as it was. The file's folder is the path handed to
// hooks. False when the file cannot be created or written.
bool WriteRTFFile(const TCustomRVData& data, const std::filesystem::path& fileName, bool selectionOnly, TColor color,
                  const TCustomRVData* headerDoc, const TCustomRVData* footerDoc, const TRVRTFWriteSettings& settings = {});

}  // namespace varnolt
