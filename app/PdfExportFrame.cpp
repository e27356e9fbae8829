#include "app/PdfExportFrame.h"

#include "pdf/PdfFonts.h"

namespace varnolt {

TPdfExportFrame::TPdfExportFrame() {
  page_.SetVisible(false);
  panel_.SetParent(&page_);
  panel_.SetBounds(0, 0, panel_.Width(), panel_.Height());
  frame_.SetParent(&panel_);
}

void TPdfExportFrame::SetUp(std::int32_t width, std::int32_t height, std::int32_t leftMargin, std::int32_t topMargin,
                            std::u16string_view text) {
  page_.SetWidth(width);
  page_.SetHeight(height);

  frame_.SetLineWidth(1.0f);
  frame_.SetLineColor(clWhite);
  frame_.SetAlign(alTop);
  frame_.SetWordWrap(true);
  frame_.SetTextMarginTop(static_cast<std::uint32_t>(topMargin));
  frame_.SetTextMarginLeft(static_cast<std::uint32_t>(leftMargin));
  frame_.SetTextMarginRight(static_cast<std::uint32_t>(leftMargin));
  frame_.SetTextMarginBottom(static_cast<std::uint32_t>(topMargin));
  // The page width less both side margins.
  frame_.SetBounds(leftMargin, topMargin, width - 2 * leftMargin, height - 2 * topMargin);
  frame_.SetFontSize(12);
  frame_.SetCharSpace(-2);
  frame_.SetLeading(12);
  frame_.SetText(text);
  // Arial writes WinAnsi bytes only; the Gothic font's code table reaches
  // Chinese, Japanese kana, Greek and Cyrillic.
  frame_.SetFontName(HasNonWinAnsiCharacter(frame_.Text()) ? fnPGothic : fnArial);
}

void TPdfExportFrame::PrintAll(TPReport& report) {
  frame_.SetStartIndex(0);
  // Text that does not fit goes on over further PDF pages of the same size.
  report.PrintPage(page_);
  while (frame_.StopIndex() < frame_.Text().size() && frame_.StopIndex() > frame_.StartIndex()) {
    frame_.SetStartIndex(frame_.StopIndex());
    report.PrintPage(page_);
  }
}

}  // namespace varnolt
