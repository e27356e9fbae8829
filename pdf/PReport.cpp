#include "pdf/PReport.h"

#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace varnolt {

TPReport::TPReport() : creationDate_(Now()) {}

TPReport::~TPReport() { AbandonDocument(); }

void TPReport::CheckClosed(const char* setter) const {
  if (doc_ != nullptr) throw EPdfInvalidOperation(std::string(setter) + " --invalid operation.");
}

void TPReport::SetAuthor(std::u16string author) {
  CheckClosed("SetAuthor");
  author_ = std::move(author);
}

void TPReport::SetCreationDate(const LocalDateTime& moment) {
  CheckClosed("SetCreationDate");
  creationDate_ = moment;
}

void TPReport::SetCreator(std::u16string creator) {
  CheckClosed("SetCreator");
  creator_ = std::move(creator);
}

void TPReport::SetKeywords(std::u16string keywords) {
  CheckClosed("SetKeyWords");
  keywords_ = std::move(keywords);
}

void TPReport::SetModDate(const LocalDateTime& moment) {
  CheckClosed("SetModDate");
  modDate_ = moment;
}

void TPReport::SetSubject(std::u16string subject) {
  CheckClosed("SetSubject");
  subject_ = std::move(subject);
}

void TPReport::SetTitle(std::u16string title) {
  CheckClosed("SetTitle");
  title_ = std::move(title);
}

void TPReport::SetPageLayout(TPdfPageLayout layout) {
  CheckClosed("SetPageLayout");
  pageLayout_ = layout;
}

void TPReport::SetPageMode(TPdfPageMode mode) {
  CheckClosed("SetPageMode");
  pageMode_ = mode;
}

void TPReport::SetNonFullScreenPageMode(TPdfPageMode mode) {
  CheckClosed("SetNonFullScreenPageMode");
  nonFullScreenPageMode_ = mode == pmFullScreen ? pmUseNone : mode;
}

void TPReport::SetUseOutlines(bool use) {
  CheckClosed("SetUseOutlines");
  useOutlines_ = use;
}

void TPReport::SetViewerPreference(TPdfViewerPreferences preferences) {
  CheckClosed("SetViewerPreference");
  viewerPreference_ = preferences;
}

void TPReport::OpenDocument() {
  AbandonDocument();
  auto doc = std::make_unique<TPdfDoc>();
  doc->SetUseOutlines(useOutlines_);
  doc->SetCompressionMethod(compressionMethod_);
  doc->StartDocument();
  if (useOutlines_) outlineRootItem_ = std::make_unique<TPROutlineRoot>(*doc);

  TPdfCatalog& catalog = doc->GetRoot();
  catalog.SetPageMode(pageMode_);
  catalog.SetPageLayout(pageLayout_);
  if (nonFullScreenPageMode_ != pmUseNone) catalog.SetNonFullScreenPageMode(nonFullScreenPageMode_);
  if (!viewerPreference_.Empty()) catalog.SetViewerPreference(viewerPreference_);

  TPdfInfo& info = doc->GetInfo();
  info.SetAuthor(author_);
  info.SetCreationDate(creationDate_);
  info.SetCreator(creator_);
  info.SetKeywords(keywords_);
  info.SetModDate(modDate_);
  info.SetSubject(subject_);
  info.SetTitle(title_);

  doc_ = std::move(doc);
  printedPages_ = 0;
}

void TPReport::PrintPage(TPRPage& page) {
  if (doc_ == nullptr) throw EPdfInvalidOperation("PrintPage --document is null..");
  doc_->AddPage();
  ++printedPages_;
  printCanvas_.SetPdfCanvas(&doc_->GetCanvas());
  page.PrintTo(printCanvas_);
}

void TPReport::CloseDocument() {
  if (doc_ == nullptr) throw EPdfInvalidOperation("document is null..");
  AtomicFileOutputStream file(Utf16ToFileName(fileName_));
  doc_->SaveToStream(file);
  file.Commit();
  AbandonDocument();
}

void TPReport::CloseDocument(OutputStream& stream) {
  if (doc_ == nullptr) throw EPdfInvalidOperation("document is null..");
  doc_->SaveToStream(stream);
  AbandonDocument();
}

void TPReport::AbandonDocument() {
  printCanvas_.SetPdfCanvas(nullptr);
  outlineRootItem_.reset();
  doc_.reset();
}

}  // namespace varnolt
