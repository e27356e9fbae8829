#pragma once
// What the stored format's writer and reader agree on: the record kinds
// that are no items, the sub-kinds of the -9 record, the data modes, and the
// names of the property lines of non-text items.
#include <array>
#include <cstdint>
#include <string_view>

namespace varnolt {

inline constexpr std::int32_t kRVFRecordCheckpoint = -2;
inline constexpr std::int32_t kRVFRecordBackground = -7;
inline constexpr std::int32_t kRVFRecordVersion = -8;
inline constexpr std::int32_t kRVFRecordDocument = -9;

// The seventh field of a -9 record.
enum TRVFDocumentRecord : std::int32_t {
  rvfdrTextStyles = 1,
  rvfdrParaStyles = 2,
  rvfdrLayout = 3,
  rvfdrListStyles = 4,
  rvfdrDocProperties = 5,
  rvfdrMarkerNumbering = 6,
  rvfdrDocParameters = 7,
};

// The fifth field of a record header.
enum TRVFDataMode : std::int32_t {
  rvfdmText = 0,
  rvfdmNoBody = 1,
  rvfdmBinary = 2,
  rvfdmHexUnicode = 3,
};

inline constexpr std::int32_t kRVFMajorVersion = 1;
inline constexpr std::int32_t kRVFMinorVersion = 3;

// Property lines of non-text items, by property number (index 0 unused).
inline constexpr std::array<std::string_view, 15> kRVFIntPropertyNames = {
    "",           "vshift",    "vshiftabs",   "width",       "height",      "transparent", "tmode", "tcolor",
    "minheightonpage", "spacing", "resizable", "unremovable", "nohtmlsize", "ainterval",   "visible"};
inline constexpr std::array<std::string_view, 4> kRVFStringPropertyNames = {"", "hint", "alt", "filename"};

// The protection line of labels.
inline constexpr std::string_view kRVFProtect = "protect";
inline constexpr std::string_view kRVFNoProtect = "no-protect";

// Page parameter names, in the order they are written.
inline constexpr std::array<std::string_view, 13> kRVFDocParameterNames = {
    "Units",       "Orientation", "PageWidth", "PageHeight", "LeftMargin",  "RightMargin",  "TopMargin",
    "BottomMargin", "HeaderY",    "FooterY",   "ZoomPercent", "ZoomMode",    "MirrorMargins"};

// Bytes of one list marker's state in the numbering record.
inline constexpr std::size_t kRVFMarkerStateSize = 17;
// Bytes of the top-level layout: six 32-bit numbers and the direction.
inline constexpr std::int32_t kRVFTopLayoutSize = 25;
inline constexpr std::int32_t kRVFPartCutsSize = 16;

}  // namespace varnolt
