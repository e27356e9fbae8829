#pragma once
// The page and text frame through which the PDF export prints every project
// page; the flow benchmarks print through it too, so they time what users
// run.
#include <cstdint>
#include <string_view>

#include "pdf/PReport.h"

namespace varnolt {

class TPdfExportFrame {
 public:
  // An invisible page holding a layout panel holding the text frame.
  TPdfExportFrame();
  TPdfExportFrame(const TPdfExportFrame&) = delete;
  TPdfExportFrame& operator=(const TPdfExportFrame&) = delete;

  // A project page's size and margins (left and right, top and bottom), in
  // points, and its text: 12-point Arial, or the Gothic font when the text has
  // characters beyond WinAnsi, character spacing -2, leading 12.
  void SetUp(std::int32_t width, std::int32_t height, std::int32_t leftMargin, std::int32_t topMargin,
             std::u16string_view text);
  // Prints the text from its start on as many PDF pages of the page's size as
  // it needs; stops early only when a page places nothing.
  void PrintAll(TPReport& report);

  const TPRText& Frame() const { return frame_; }

 private:
  TPRPage page_;
  TPRLayoutPanel panel_;
  TPRText frame_;
};

}  // namespace varnolt
