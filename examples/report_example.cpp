// Writes a small report of three pages with the report components: a title
// frame, a body frame whose text goes on over the following pages, and a
// footer panel.
//
// Usage: report_example OUT.pdf
#include <cstdio>
#include <string>

#include "pdf/PReport.h"
#include "platform/CodePage.h"

using namespace varnolt;

namespace {

constexpr int kPageWidth = 495;
constexpr int kPageHeight = 614;
constexpr int kMargin = 30;
constexpr int kTitleHeight = 60;
constexpr int kFooterHeight = 40;
constexpr int kMaxPages = 50;

std::u16string BodyText() {
  const char16_t* const paragraphs[] = {
      (u"Varnolt gathers content into a project of pages and writes the whole project out as one PDF file. "
      u"Each page becomes a text frame on a report page of the page's own size; the frame flows its text "
      u"line by line, breaking wherever the next character would cross the right edge."),
      (u"This example builds such a report by hand. A layout panel holds the title, another the body, and a "
      u"third the footer. When the body does not fit, the report prints the page again and the frame goes on "
      u"where it stopped, so nothing is lost."),
      (u"Characters of the standard fonts are written in WinAnsiEncoding: caf\u00E9, na\u00EFve, \u20AC 12.50, "
      u"\u2022 bullets, \u201Cquotes\u201D and a back\\slash all arrive as themselves in any viewer."),
  };
  std::u16string text;
  for (int round = 1; round <= 6; ++round) {
    for (const char16_t* paragraph : paragraphs) {
      text += u"\u00A7" + Utf8ToUtf16(std::to_string(round)) + u" " + paragraph + u"\r\n\r\n";
    }
  }
  return text;
}

void PlaceFrame(TPRText& frame, int top, int height) {
  frame.SetBounds(kMargin, top, kPageWidth - 2 * kMargin, height);
  frame.SetTextMarginLeft(8);
  frame.SetTextMarginRight(8);
  frame.SetTextMarginTop(8);
  frame.SetTextMarginBottom(8);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.pdf\n", argv[0]);
    return 2;
  }
  try {
    TPReport report;
    report.SetFileName(Utf8ToUtf16(argv[1]));
    report.SetTitle(u"Report components example");
    report.SetAuthor(u"Varnolt");
    report.SetViewerPreference({vpFitWindow, vpCenterWindow});
    report.OpenDocument();

    TPRPage page;
    page.SetVisible(false);
    page.SetWidth(kPageWidth);
    page.SetHeight(kPageHeight);

    TPRLayoutPanel header;
    header.SetParent(&page);
    header.SetBounds(0, 0, kPageWidth, kTitleHeight + kMargin);
    TPRText title;
    title.SetParent(&header);
    PlaceFrame(title, kMargin, kTitleHeight);
    title.SetFontName(fnTimesRoman);
    title.SetFontBold(true);
    title.SetFontSize(20);
    title.SetLeading(24);
    title.SetFillColor(0x00F0E0D0);
    title.SetLineStyle(psSolid);
    title.SetLineColor(0x00804020);
    title.SetText(u"Report components example");

    TPRLayoutPanel body;
    body.SetParent(&page);
    body.SetBounds(0, kTitleHeight + kMargin, kPageWidth, kPageHeight);
    TPRText text;
    text.SetParent(&body);
    const int bodyHeight = kPageHeight - 2 * kMargin - kTitleHeight - kFooterHeight - 20;
    PlaceFrame(text, 10, bodyHeight);
    text.SetFontName(fnArial);
    text.SetFontSize(11);
    text.SetLeading(14);
    text.SetLineColor(clWhite);
    text.SetText(BodyText());

    TPRLayoutPanel footer;
    footer.SetParent(&page);
    footer.SetBounds(0, kPageHeight - kMargin - kFooterHeight, kPageWidth, kFooterHeight);
    TPRText note;
    note.SetParent(&footer);
    note.SetBounds(kMargin, 0, kPageWidth - 2 * kMargin, kFooterHeight);
    note.SetFontName(fnFixedWidth);
    note.SetFontItalic(true);
    note.SetFontSize(9);
    note.SetLineStyle(psDash);
    note.SetLineColor(0x00808080);
    note.SetTextMarginLeft(6);
    note.SetTextMarginTop(6);

    const std::size_t length = text.Text().size();
    do {
      text.SetStartIndex(text.StopIndex());
      note.SetText(u"Page " + Utf8ToUtf16(std::to_string(report.PrintedPages() + 1)) +
                   u" \u2014 written by the report components");
      report.PrintPage(page);
    } while (text.StopIndex() < length && report.PrintedPages() < kMaxPages);

    int pages = report.PrintedPages();
    report.CloseDocument();
    std::printf("Wrote %d pages to %s\n", pages, argv[1]);
    return 0;
  } catch (const Exception& error) {
    std::fprintf(stderr, "report_example: %s\n", error.what());
    return 1;
  }
}
