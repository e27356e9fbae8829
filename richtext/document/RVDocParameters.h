#pragma once
// Page size, margins and view settings of a document, in a unit of choice.
// The view keeps them; the stored format and the RTF writer carry them.
#include <cstdint>

namespace varnolt {

enum TRVUnits : std::uint8_t { rvuInches, rvuCentimeters, rvuMillimeters, rvuPicas, rvuPixels, rvuPoints };
enum TRVPageOrientation : std::uint8_t { poPortrait, poLandscape };
enum TRVZoomMode : std::uint8_t { rvzmFullPage, rvzmPageWidth, rvzmCustom };

struct TRVDocParameters {
  // Lengths in Units; the defaults are A4 in inches.
  double PageWidth = 8.2677165354;
  double PageHeight = 11.692913386;
  double LeftMargin = 1.25;
  double RightMargin = 1.25;
  double TopMargin = 1.0;
  double BottomMargin = 1.0;
  double HeaderY = 0.5;
  double FooterY = 0.5;
  TRVUnits Units = rvuInches;
  TRVPageOrientation Orientation = poPortrait;
  std::int32_t ZoomPercent = 100;
  TRVZoomMode ZoomMode = rvzmCustom;
  bool MirrorMargins = false;

  void Reset() { *this = TRVDocParameters(); }
  friend bool operator==(const TRVDocParameters&, const TRVDocParameters&) = default;
};

}  // namespace varnolt
